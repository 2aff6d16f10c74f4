// Message-template expansion and the out-of-line members of the exception
// family (the destructors anchor each class's type information here).
#include "smbios/Exception.h"

#include <utility>

namespace smbios {

IException::~IException() = default;
InternalError::~InternalError() = default;
NotImplemented::~NotImplemented() = default;
SmbiosException::~SmbiosException() = default;
ParameterException::~ParameterException() = default;
ParseException::~ParseException() = default;
StringUnavailable::~StringUnavailable() = default;
DataOutOfBounds::~DataOutOfBounds() = default;

InternalErrorImpl::~InternalErrorImpl() = default;
NotImplementedImpl::~NotImplementedImpl() = default;
ParameterExceptionImpl::~ParameterExceptionImpl() = default;
ParseExceptionImpl::~ParseExceptionImpl() = default;
StringUnavailableImpl::~StringUnavailableImpl() = default;
DataOutOfBoundsImpl::~DataOutOfBoundsImpl() = default;

template <class T>
Exception<T>::Exception() = default;

template <class T>
Exception<T>::Exception(std::string initMessage) : messageString(std::move(initMessage)) {}

// The copy gets the template and the parameters but not the last expansion:
// its what() expands anew.
template <class T>
Exception<T>::Exception(const Exception &source) : T(), messageString(source.messageString) {
    for (const auto &entry : source.numericParameters) {
        numericParameters.insert(entry);
    }
    for (const auto &entry : source.stringParameters) {
        stringParameters.insert(entry);
    }
}

template <class T>
Exception<T> &Exception<T>::operator=(const Exception &source) {
    if (this != &source) {
        messageString = source.messageString;
        numericParameters = source.numericParameters;
        stringParameters = source.stringParameters;
        outputBuffer.clear();
    }
    return *this;
}

template <class T>
Exception<T>::~Exception() = default;

template <class T>
std::string Exception<T>::getParameterString(const std::string &name) const {
    auto found = stringParameters.find(name);
    return found == stringParameters.end() ? std::string() : found->second;
}

template <class T>
uint32_t Exception<T>::getParameterNum(const std::string &name) const {
    auto found = numericParameters.find(name);
    return found == numericParameters.end() ? 0 : found->second;
}

template <class T>
void Exception<T>::setMessageString(const std::string &newMessage) {
    messageString = newMessage;
}

template <class T>
void Exception<T>::setParameter(const std::string &name, uint32_t value) {
    numericParameters[name] = value;
}

template <class T>
void Exception<T>::setParameter(const std::string &name, const std::string &value) {
    stringParameters[name] = value;
}

template <class T>
void Exception<T>::expand() const {
    // The longest placeholder expanded: "%(" + 28 characters + ")" + letter.
    constexpr std::size_t kMaxPlaceholder = 32;

    std::string &text = outputBuffer;
    text = messageString;
    const std::size_t maxLength = messageString.size() + kMaxGrowth;
    unsigned substitutions = 0;
    std::size_t pos = 0;

    while (pos < text.size()) {
        const std::size_t start = text.find('%', pos);
        if (start == std::string::npos || start + 1 == text.size()) {
            return;
        }
        const char next = text[start + 1];
        if (next == '%') {
            text.erase(start, 1);
            pos = start + 1;
            continue;
        }
        if (next != '(') {
            pos = start + 1;
            continue;
        }
        const std::size_t close = text.find(')', start);
        if (close == std::string::npos) {
            pos = start + 1;
            continue;
        }
        if (close + 1 == text.size()) {
            return;  // ")" as the last character ends the expansion here.
        }
        const std::size_t length = close - start + 2;
        const char letter = text[close + 1];
        if (length > kMaxPlaceholder || (letter != 'i' && letter != 's')) {
            pos = start + 1;
            continue;
        }
        const std::string name = text.substr(start + 2, close - start - 2);
        const std::string value = letter == 'i' ? std::to_string(getParameterNum(name)) : getParameterString(name);
        if (substitutions == kMaxSubstitutions || text.size() - length + value.size() > maxLength) {
            return;  // A value that keeps reproducing placeholders: stop here.
        }
        text.replace(start, length, value);
        ++substitutions;
        // pos stays at start: the inserted value is scanned again.
    }
}

template <class T>
const char *Exception<T>::what() const noexcept {
    try {
        expand();
        return outputBuffer.c_str();
    } catch (...) {
        // Out of memory (or a throwing override of a getter): the template
        // itself is the most useful text left.
        return messageString.c_str();
    }
}

template class Exception<IException>;
template class Exception<InternalError>;
template class Exception<NotImplemented>;
template class Exception<ParameterException>;
template class Exception<ParseException>;
template class Exception<StringUnavailable>;
template class Exception<DataOutOfBounds>;
template class Exception<memory::AccessError>;
template class Exception<memory::OutOfBounds>;

}  // namespace smbios

namespace memory {

MemoryException::~MemoryException() = default;
AccessError::~AccessError() = default;
OutOfBounds::~OutOfBounds() = default;
AccessErrorImpl::~AccessErrorImpl() = default;
OutOfBoundsImpl::~OutOfBoundsImpl() = default;

}  // namespace memory
