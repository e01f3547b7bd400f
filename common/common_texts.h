// common_texts.h - the localized texts the common library shows, each with a
// compiled-in default.
//
// Every text comes through CommonGetText, the one place where the common
// library asks for a text of the shared common-strings module (resource
// module 1).  Until resource modules are registered it answers the
// compiled-in default (messages/texts/common_en.def).
#ifndef COMMON_COMMON_TEXTS_H
#define COMMON_COMMON_TEXTS_H

#include <cstdint>

// String ids in the common-strings module.
constexpr uint32_t kTextBinaryOffset = 38209;      // "%u" decimal, "%X" hexadecimal offset
constexpr uint32_t kTextNestingLevel = 38210;      // "%u" nesting level
constexpr uint32_t kTextUnexpectedEnd = 38211;

/// The text of string id: the localized one when there is one, else the
/// compiled-in default; "" for an id without a default.  A localized text
/// that is used as a format must have the conversions of its default, in
/// the same order, or the default is answered instead -- so a broken
/// translation cannot make the formatter read arguments that are not there.
const char *CommonGetText(uint32_t id);

/// Whether format has the same printf conversions as reference, in order
/// ("%%" is no conversion).
bool SameConversions(const char *format, const char *reference);

#endif  // COMMON_COMMON_TEXTS_H
