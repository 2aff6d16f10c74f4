// Writing outside text into message templates verbatim.
#include "smbios/VerbatimText.h"

namespace smbios {

std::string verbatimText(const std::string &text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        escaped += c;
        if (c == '%') {
            escaped += '%';
        }
    }
    return escaped;
}

std::string withVerbatimValues(const std::string &messageTemplate,
                               std::initializer_list<std::pair<const char *, std::string>> values) {
    // One pass over the template, so that a value is never searched again.
    std::string text;
    std::size_t at = 0;
    while (at < messageTemplate.size()) {
        if (messageTemplate.compare(at, 2, "%%") == 0) {
            text += "%%";
            at += 2;
            continue;
        }
        bool replaced = false;
        for (const auto &value : values) {
            const std::string placeholder = std::string("%(") + value.first + ")s";
            if (messageTemplate.compare(at, placeholder.size(), placeholder) == 0) {
                text += verbatimText(value.second);
                at += placeholder.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            text += messageTemplate[at++];
        }
    }
    return text;
}

}  // namespace smbios
