#include "config/metadata_callers.h"

#include "config/xml_scan.h"

namespace ramulet {

namespace {

NamedCaller MetadataCaller(std::string caller, std::string via, const std::string& path, std::string target,
                           std::string_view method, size_t offset, TextCursor& cursor) {
  NamedCaller named;
  named.kind = NamedCaller::Kind::kMetadata;
  named.caller = std::move(caller);
  named.via = std::move(via);
  named.path = path;
  named.target = std::move(target);
  named.method = std::string(method);
  cursor.MoveTo(offset, named.line, named.column);
  return named;
}

// The reading of one form description: the elements open around the
// scanner and what they named so far.
class FormReader {
 public:
  FormReader(std::string_view xml, const std::string& form_module, const std::string& path,
             std::vector<NamedCaller>& callers)
      : xml_(xml), cursor_(xml), module_(form_module), path_(path), callers_(callers) {}

  void Run() {
    XmlScanner scanner(xml_);
    for (XmlTag tag; scanner.Next(tag);) {
      if (tag.closing) {
        Close(tag.name);
      } else {
        Open(tag);
        if (tag.empty) Close(tag.name);
      }
    }
  }

 private:
  void Open(const XmlTag& tag) {
    if (in_command_ != 0) ++in_command_;
    if (tag.name == "Event" && !tag.empty) {
      const XmlText handler = TextAfter(xml_, tag);
      Add(std::string(XmlAttribute(tag.attributes, "name")), handler);
    } else if (tag.name == "Command") {
      command_ = std::string(XmlAttribute(tag.attributes, "name"));
    } else if (tag.name == "Action" && !tag.empty) {
      Add(command_, TextAfter(xml_, tag));
    } else if (tag.name == "handlers") {
      in_handlers_ = true;
      event_.clear();
      handler_ = XmlText();
    } else if (tag.name == "formCommands") {
      in_command_ = 1;
      in_action_ = false;
      command_.clear();
      handler_ = XmlText();
    } else if (tag.name == "action" && in_command_ != 0) {
      in_action_ = true;
    } else if (tag.name == "event" && in_handlers_ && !tag.empty) {
      event_ = std::string(TextAfter(xml_, tag).value);
    } else if (tag.name == "name" && !tag.empty) {
      ReadName(TextAfter(xml_, tag));
    }
  }

  void ReadName(const XmlText& name) {
    if (in_handlers_) {
      handler_ = name;
    } else if (in_action_) {
      handler_ = name;
    } else if (in_command_ == 2 && command_.empty()) {
      command_ = std::string(name.value);  // <formCommands><name>: the command's own
    }
  }

  void Close(std::string_view name) {
    if (name == "handlers" && in_handlers_) {
      Add(event_, handler_);
      in_handlers_ = false;
    } else if (name == "formCommands" && in_command_ != 0) {
      Add(command_, handler_);
      in_command_ = 0;
      in_action_ = false;
      return;
    } else if (name == "action") {
      in_action_ = false;
    }
    if (in_command_ > 1) --in_command_;
  }

  void Add(const std::string& via, const XmlText& handler) {
    if (handler.value.empty()) return;
    callers_.push_back(MetadataCaller(module_, via, path_, module_, handler.value, handler.offset, cursor_));
  }

  std::string_view xml_;
  TextCursor cursor_;
  const std::string& module_;
  const std::string& path_;
  std::vector<NamedCaller>& callers_;
  std::string command_;  // the name of the command being read
  bool in_handlers_ = false;
  std::string event_;
  XmlText handler_;
  // Inside <formCommands>: 1 + the depth of elements open inside it.
  int in_command_ = 0;
  bool in_action_ = false;
};

}  // namespace

void AddHandlerCaller(std::string_view xml, std::string_view element, const std::string& caller, const std::string& via,
                      const std::string& path, std::vector<NamedCaller>& callers) {
  XmlScanner scanner(xml);
  for (XmlTag tag; scanner.Next(tag);) {
    if (tag.closing || tag.empty || tag.name != element) continue;
    const XmlText text = TextAfter(xml, tag);
    if (text.value.empty()) return;
    const size_t dot = text.value.rfind('.');
    const size_t method_at = dot == std::string_view::npos ? 0 : dot + 1;
    TextCursor cursor(xml);
    callers.push_back(MetadataCaller(caller, via, path,
                                     std::string(text.value.substr(0, dot == std::string_view::npos ? 0 : dot)),
                                     text.value.substr(method_at), text.offset + method_at, cursor));
    return;
  }
}

void AddFormCallers(std::string_view xml, const std::string& form_module, const std::string& path,
                    std::vector<NamedCaller>& callers) {
  FormReader(xml, form_module, path, callers).Run();
}

}  // namespace ramulet
