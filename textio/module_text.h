#pragma once

#include <string>

#include "platform/status.h"
#include "textio/text_decoding.h"
#include "textio/text_lines.h"

namespace ramulet {

// A module read from its bytes: the text and its lines, and how the bytes
// were read. Every reader of module files (the command line, the stand-in
// host, the language server for files it reads from disk) loads them so.
struct ModuleText {
  TextLines lines;
  DecodeNotes notes;
  // The bytes, kept only where the text cannot give them back (malformed
  // UTF-8 read as U+FFFD); see Bytes().
  std::string kept_bytes;

  // The bytes the module was read from, for reading them another way.
  std::string Bytes() const { return notes.replaced > 0 ? kept_bytes : EncodeText(lines.text(), notes); }
};

// Decodes `bytes` as `encoding` (Auto guesses, see DecodeText) into
// `module`. The bytes are taken and released once decoded, so that the
// bytes and the text are held together only while decoding. On failure
// `module` is left empty and the status names the offset.
Status LoadModuleText(std::string&& bytes, Encoding encoding, ModuleText& module);

}  // namespace ramulet
