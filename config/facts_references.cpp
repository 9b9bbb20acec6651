// The references of the module-facts scan, each recognised at its "(" (or
// its string) by the tokens before it, and decided once the module is read.
#include <algorithm>

#include "config/facts_scanner.h"

namespace ramulet {

using facts_words::Word;
using Kind = ModuleFacts::Kind;

namespace {

bool EndsChainPart(const auto& token) { return token.Is(u'.') || token.Is(u')') || token.Is(u']'); }

// An identifier of the language: a letter or "_", then letters, digits, "_".
bool IsIdentifier(std::u16string_view text) {
  if (text.empty() || !(language::ClassOf(text[0]) & language::kLetter)) return false;
  return std::all_of(text.begin(), text.end(), language::IsWordUnit);
}

}  // namespace

void FactsScanner::AddReference(ModuleFacts::Reference reference, const Tok& at, int32_t column_shift) {
  reference.method = method_;
  reference.line = at.line;
  reference.column = at.column + column_shift;
  facts_.references.push_back(reference);
}

void FactsScanner::StartExpecting(Expect expect, const Tok& start, int32_t accessor) {
  expect_ = expect;
  expect_step_ = 0;
  expect_start_ = start;
  expect_accessor_ = accessor;
}

void FactsScanner::OnParen() {
  const Tok name = Back(1);
  if (name.kind != TokKind::kIdentifier) return;
  const Tok& before = Back(2);
  if (before.Is(u'.')) {
    OnMemberParen(name);
  } else if (IsWord(before, Word::kNew)) {
    if (IsWord(name, Word::kNotification)) StartExpecting(Expect::kNotification, name, ModuleFacts::kNoName);
  } else {
    OnBareParen(name);
  }
}

// `X.Имя(`, `Коллекция.Объект.Имя(`, `ОбщийМодуль("N").Имя(`, and the
// start of `A.ОбщийМодуль("N")`.
void FactsScanner::OnMemberParen(const Tok& name) {
  const Tok receiver = Back(3);
  const Tok before = Back(4);
  const bool single = receiver.kind == TokKind::kIdentifier && !EndsChainPart(before);
  if (IsWord(name, Word::kCommonModule)) {
    StartExpecting(Expect::kAccessor, single ? receiver : name,
                   single ? Intern(receiver.View()) : ModuleFacts::kNotAccessor);
  }
  ModuleFacts::Reference reference;
  if (receiver.Is(u')') && receiver.seq == accessor_close_seq_ && accessor_close_seq_ != 0) {
    reference.kind = Kind::kAccessor;
    reference.binding = accessor_binding_;
    reference.name = Intern(name.View());
    reference.via = accessor_via_;
    AddReference(reference, name);
    return;
  }
  if (receiver.kind != TokKind::kIdentifier) return;
  if (before.Is(u'.')) {
    const Tok& collection = Back(5);
    if (collection.kind != TokKind::kIdentifier || EndsChainPart(Back(6))) return;
    const facts_words::WordInfo word = WordOf(collection);
    if (word.word != Word::kCollection) return;
    reference.kind = Kind::kManager;
    reference.collection = word.collection;
    reference.receiver = Intern(collection.View());
    reference.object = Intern(receiver.View());
    reference.name = Intern(name.View());
    scratch_.assign(collection.View());
    scratch_ += u'.';
    scratch_ += receiver.View();
    const std::u16string via = scratch_;
    reference.via = Intern(via);
    AddReference(reference, name);
    return;
  }
  if (!single || IsWord(receiver, Word::kThisObject)) return;
  reference.kind = Kind::kMember;
  reference.receiver = Intern(receiver.View());
  reference.name = Intern(name.View());
  reference.via = reference.receiver;
  reference.binding = LastBinding(method_, Same(reference.receiver));
  AddReference(reference, name);
}

void FactsScanner::OnBareParen(const Tok& name) {
  const std::u16string_view folded = Fold(name.View());
  if (facts_words::MayBeWord(name.View())) {
    switch (facts_words::FindWord(folded).word) {
      case Word::kDynamic: {
        ModuleFacts::Reference reference;
        reference.kind = Kind::kDynamic;
        reference.name = reference.via = Intern(name.View());
        AddReference(reference, name);
        return;
      }
      case Word::kIdleHandler:
        StartExpecting(Expect::kIdleHandler, name, ModuleFacts::kNoName);
        return;
      case Word::kCommonModule:
        StartExpecting(Expect::kAccessor, name, ModuleFacts::kNoName);
        break;
      default:
        break;
    }
  }
  if (facts_words::IsNeverCalledKeyword(name.View(), folded) || analysis_.FindFolded(folded) >= 0) return;
  ModuleFacts::Reference reference;
  reference.kind = Kind::kBare;
  reference.name = Intern(name.View());
  AddReference(reference, name);
}

// The tokens after the "(" of ОбщийМодуль, Новый ОписаниеОповещения and the
// idle-handler functions; anything unexpected ends the expectation.
void FactsScanner::FeedExpectation(const Tok& token) {
  const int step = expect_step_++;
  switch (expect_) {
    case Expect::kAccessor:
      if (step == 0 && token.kind == TokKind::kString) {
        expect_string_ = token;
        return;
      }
      if (step == 1 && token.Is(u')')) CompleteAccessor(token);
      break;
    case Expect::kNotification:
      if (step == 0 && token.kind == TokKind::kString && IsIdentifier(Content(token))) {
        expect_string_ = token;
        return;
      }
      if (step == 1 && token.Is(u',')) return;
      if (step == 2 && token.kind == TokKind::kIdentifier) {
        expect_target_ = token;
        return;
      }
      if (step == 3 && (token.Is(u',') || token.Is(u')'))) {
        ModuleFacts::Reference reference;
        reference.name = Intern(Content(expect_string_));
        reference.via = Intern(expect_start_.View());
        if (IsWord(expect_target_, Word::kThisObject)) {
          reference.kind = Kind::kNotifyOwn;
        } else {
          reference.kind = Kind::kNotifyModule;
          reference.receiver = Intern(expect_target_.View());
        }
        AddReference(reference, expect_string_, 1);
      }
      break;
    case Expect::kIdleHandler:
      if (step == 0 && token.kind == TokKind::kString && IsIdentifier(Content(token))) {
        ModuleFacts::Reference reference;
        reference.kind = Kind::kIdleHandler;
        reference.name = Intern(Content(token));
        reference.via = Intern(expect_start_.View());
        AddReference(reference, token, 1);
      }
      break;
    case Expect::kNothing:
      break;
  }
  expect_ = Expect::kNothing;
}

// `[A.]ОбщийМодуль("N")` read to its ")": a binding, which binds the
// variable of an assignment that it begins once the expression ends.
void FactsScanner::CompleteAccessor(const Tok& close) {
  ModuleFacts::Binding binding;
  binding.method = method_;
  binding.accessor = expect_accessor_;
  const std::u16string_view module = Content(expect_string_);
  binding.module = Intern(module);
  const size_t dot = module.find(u'.');
  if (dot != std::u16string_view::npos && IsIdentifier(module.substr(0, dot)) && IsIdentifier(module.substr(dot + 1))) {
    const std::u16string_view collection = module.substr(0, dot);
    if (facts_words::MayBeWord(collection)) {
      const facts_words::WordInfo word = facts_words::FindWord(Fold(collection));
      if (word.word == Word::kCollection) {
        binding.collection = word.collection;
        binding.object = Intern(module.substr(dot + 1));
      }
    }
  }
  const auto index = static_cast<int32_t>(facts_.bindings.size());
  facts_.bindings.push_back(binding);
  accessor_close_seq_ = close.seq;
  accessor_binding_ = index;
  if (expect_start_.line == close.line) {
    accessor_via_ = Intern(std::u16string_view(expect_start_.text, static_cast<size_t>(close.text + 1 - expect_start_.text)));
  } else {
    accessor_via_ = Intern(expect_start_.View());
  }
  if (assign_seq_ != 0 && expect_start_.seq == assign_seq_ + 1) {
    pending_binding_ = index;
    pending_variable_ = assign_name_;
  }
}

// A string that is exactly "N.P": a method named for a background job.
void FactsScanner::OnString(const Tok& token) {
  if (token.length < 5) return;
  const std::u16string_view content = Content(token);
  if (!(language::ClassOf(content[0]) & language::kLetter)) return;
  const size_t dot = content.find(u'.');
  if (dot == std::u16string_view::npos) return;
  const std::u16string_view module = content.substr(0, dot);
  const std::u16string_view method = content.substr(dot + 1);
  if (!IsIdentifier(module) || !IsIdentifier(method)) return;
  ModuleFacts::Reference reference;
  reference.kind = Kind::kString;
  reference.receiver = Intern(module);
  reference.name = Intern(method);
  AddReference(reference, token, 1);
}

bool FactsScanner::IsDeclared(int32_t method, int32_t same) const {
  const uint64_t key = (static_cast<uint64_t>(static_cast<uint32_t>(method + 2)) << 32) | static_cast<uint32_t>(same);
  return std::binary_search(declared_.begin(), declared_.end(), key);
}

// A parameter, a Перем of the method or the module, or assigned in the method.
bool FactsScanner::IsLocal(int32_t method, int32_t same) const {
  const uint64_t key = (static_cast<uint64_t>(static_cast<uint32_t>(method + 2)) << 32) | static_cast<uint32_t>(same);
  return std::binary_search(assigned_.begin(), assigned_.end(), key) || IsDeclared(method, same) ||
         IsDeclared(-2, same);
}

void FactsScanner::Finish() {
  Boundary();
  for (auto* keys : {&declared_, &assigned_}) {
    std::sort(keys->begin(), keys->end());
    keys->erase(std::unique(keys->begin(), keys->end()), keys->end());
  }
  for (ModuleFacts::Binding& binding : facts_.bindings) {
    if (binding.accessor >= 0 && IsLocal(binding.method, Same(binding.accessor)))
      binding.accessor = ModuleFacts::kNotAccessor;
  }
  auto& references = facts_.references;
  size_t kept = 0;
  for (ModuleFacts::Reference reference : references) {
    bool keep = true;
    switch (reference.kind) {
      case Kind::kMember: {
        const int32_t same = Same(reference.receiver);
        // A module variable bound in the body reaches the methods that do
        // not declare a name of their own.
        if (reference.method >= 0 && IsDeclared(-2, same) && !IsDeclared(reference.method, same))
          reference.fallback = body_last_[static_cast<size_t>(same)];
        if (reference.binding >= 0 || reference.fallback >= 0) {
          reference.kind = Kind::kBound;
        } else {
          keep = !IsLocal(reference.method, same);
        }
        break;
      }
      case Kind::kManager:
      case Kind::kNotifyModule:
        keep = !IsLocal(reference.method, Same(reference.receiver));
        break;
      case Kind::kAccessor:
        keep = facts_.bindings[static_cast<size_t>(reference.binding)].accessor != ModuleFacts::kNotAccessor;
        break;
      default:
        break;
    }
    if (keep) references[kept++] = reference;
  }
  references.resize(kept);
}

}  // namespace ramulet
