// Small nil-safe helpers for the Foundation values that are never replaced (strings,
// numbers), which the system may use where they read more clearly than a message.
#pragma once

#include <string>
#include <string_view>

#include "runtime/runtime.h"

namespace host {

using rt::id;
using rt::Ref;

// Nil-safe readers for values that are never replaced.
// The text of a string, or null for nil and for anything that is not a string.
const std::string* stringText(id object);
// YES when object is a string equal to text; NO for nil and for other kinds.
bool isString(id object, std::string_view text);
// YES when object is a boolean number (`__NSCFBoolean`).
bool isBooleanNumber(id object);
// A new string of the text; never nil, even before the host boots.
Ref<> NSStr(std::string text);
// The text "%@" formats an object as: its description, "(null)" for nil.
std::string formatObject(id object);

}  // namespace host

// A constant string made once per call site, like an @"..." literal.
#define LUMORA_STR(text)                                     \
  ([]() -> ::rt::id {                                        \
    static const ::rt::Ref<> constant = ::host::NSStr(text); \
    return constant.get();                                   \
  }())
