#include "platform/dictionary.h"

#include "platform/text.h"

namespace ramulet {

Status Dictionary::Add(const Variant& key, const Variant& item) {
  size_t position = keys_.size();
  bool inserted = false;
  if (const std::u16string* text = key.AsText()) {
    inserted = text_index_.emplace(*text, position).second;
  } else if (key.type() == Variant::Type::Object) {
    inserted = object_index_.emplace(key.AsObject().get(), position).second;
  } else if (key.IsNumeric()) {
    inserted = number_index_.emplace(*key.ToNumber(), position).second;
  } else {
    return Status::Error(Status::kInvalidArgument, "dictionary key must be a text, a number or an object");
  }
  if (!inserted) {
    std::string message = "the key ";
    if (key.AsText()) {
      message.append("\"").append(Utf16ToUtf8(*key.AsText())).append("\"");
    } else {
      message.append("given");
    }
    message.append(" is already in the dictionary");
    return Status::Error(Status::kDuplicateKey, std::move(message));
  }
  keys_.push_back(key);
  items_.push_back(item);
  return Status::Ok();
}

const Variant* Dictionary::Find(const Variant& key) const {
  if (const std::u16string* text = key.AsText()) {
    auto it = text_index_.find(std::u16string_view(*text));
    return it == text_index_.end() ? nullptr : &items_[it->second];
  }
  if (key.type() == Variant::Type::Object) {
    auto it = object_index_.find(key.AsObject().get());
    return it == object_index_.end() ? nullptr : &items_[it->second];
  }
  if (key.IsNumeric()) {
    auto it = number_index_.find(*key.ToNumber());
    return it == number_index_.end() ? nullptr : &items_[it->second];
  }
  return nullptr;
}

bool Dictionary::Exists(const Variant& key) const { return Find(key) != nullptr; }

bool Dictionary::ExistsText(std::u16string_view key) const { return text_index_.find(key) != text_index_.end(); }

}  // namespace ramulet
