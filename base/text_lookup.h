// text_lookup.h - the localized texts that the lower layers show.
//
// A few texts of the layers below the messages layer come from the shared
// common-strings module (resource module 1): the names of unknown systems
// and processors, the located messages of the parse stream.  Those layers
// cannot reach the resource modules, which the messages layer manages; they
// ask SalCommonText instead, which answers through the lookup that the
// messages layer installs when the library is attached, and answers the
// compiled-in default (texts/common_strings_en.def) while none is installed
// or the lookup knows no text.
#ifndef SAL_TEXT_LOOKUP_H
#define SAL_TEXT_LOOKUP_H

#include <cstdint>

/// The resource module of the shared common strings.
constexpr int kSalCommonStringsModule = 1;

/// A text lookup: the text of id in resource module `module`, or fallback
/// when that module has none.  context is passed back unchanged.
using SalTextLookup = const char *(*)(void *context, int module, uint32_t id,
                                      const char *fallback);

/// Installs lookup for every text of the lower layers; null removes it, so
/// that the compiled-in defaults answer again.  Install it while no text is
/// being looked up.
void SalSetTextLookup(SalTextLookup lookup, void *context);

/// The compiled-in English text of id in the common-strings module; "" for
/// an id without one.
const char *SalCommonStringDefault(uint32_t id);

/// The text of id in the common-strings module: what the installed lookup
/// answers, else the compiled-in default.
const char *SalCommonText(uint32_t id);

/// SalCommonText for a text used as a printf format: a localized text is
/// taken only when it has the default's conversions in the same order
/// (SalSameConversions), so that a broken translation cannot make the
/// formatter read arguments that are not there.
const char *SalCommonFormat(uint32_t id);

#endif  // SAL_TEXT_LOOKUP_H
