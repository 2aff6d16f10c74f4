// Text from outside the library (file names, the system's error texts,
// bytes of the firmware) in an exception's message, shown exactly as it is.
// The expansion scans inserted values again, which suits the templates and
// the values clients set, but would rewrite a "%" in a file name. Private to
// the library.
#ifndef TARNWICK_SMBIOS_VERBATIMTEXT_H
#define TARNWICK_SMBIOS_VERBATIMTEXT_H

#include <initializer_list>
#include <string>
#include <utility>

#include "smbios/Exception.h"

namespace smbios {

// `text` with every "%" doubled: the expansion gives it back unchanged.
std::string verbatimText(const std::string &text);

// `messageTemplate` with each %(name)s of `values` replaced by the value as
// verbatimText gives it; other placeholders stay.
std::string withVerbatimValues(const std::string &messageTemplate,
                               std::initializer_list<std::pair<const char *, std::string>> values);

// Sets the template with the values written into it verbatim, and each
// value as its string parameter too, so that getParameterString returns it
// exactly.
template <class T>
void setMessageWithVerbatimValues(Exception<T> &failure, const std::string &messageTemplate,
                                  std::initializer_list<std::pair<const char *, std::string>> values) {
    failure.setMessageString(withVerbatimValues(messageTemplate, values));
    for (const auto &value : values) {
        failure.setParameter(value.first, value.second);
    }
}

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_VERBATIMTEXT_H
