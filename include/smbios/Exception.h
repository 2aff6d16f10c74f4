// The library's exception family: marker classes that callers catch, the
// Exception<T> template that carries a message template with named
// parameters, and the Impl classes that the library actually throws.
#ifndef TARNWICK_SMBIOS_EXCEPTION_H
#define TARNWICK_SMBIOS_EXCEPTION_H

#include <cstdint>
#include <exception>
#include <map>
#include <string>

namespace smbios {

// Marker classes carry no data; they only form the hierarchy to catch by.
class IException : public std::exception {
public:
    ~IException() override;
};

class InternalError : public IException {
public:
    ~InternalError() override;
};

class NotImplemented : public IException {
public:
    ~NotImplemented() override;
};

class SmbiosException : public IException {
public:
    ~SmbiosException() override;
};

class ParameterException : public SmbiosException {
public:
    ~ParameterException() override;
};

class ParseException : public SmbiosException {
public:
    ~ParseException() override;
};

class StringUnavailable : public SmbiosException {
public:
    ~StringUnavailable() override;
};

class DataOutOfBounds : public SmbiosException {
public:
    ~DataOutOfBounds() override;
};

// Holds a message template such as "Seek error. OS Error: %(err)s" and its
// named parameters. what() expands the template afresh on every call:
//   %(name)s  the string parameter `name`
//   %(name)i  the numeric parameter `name`, as an unsigned decimal number
//   %%        a single percent sign
// A placeholder that cannot be expanded (no ')', a name of more than 28
// characters, a letter other than 's' or 'i') stays in the text. Inserted
// values are scanned again, so they may themselves hold placeholders.
//
// A parameter that was never set expands to "" (string) or 0 (numeric) and
// is not added to the parameters. Because values are re-scanned, a value that
// refers to itself would expand for ever; the expansion therefore stops, with
// the text produced so far, after kMaxSubstitutions insertions or when an
// insertion would grow the text by more than kMaxGrowth bytes over the
// template's length.
template <class T>
class Exception : public T {
public:
    static constexpr unsigned kMaxSubstitutions = 1024;
    static constexpr std::size_t kMaxGrowth = std::size_t{64} * 1024;

    Exception();
    explicit Exception(std::string initMessage);
    Exception(const Exception &source);
    Exception &operator=(const Exception &source);
    ~Exception() override;

    // Never throws: if memory runs out while expanding, the unexpanded
    // template is returned instead. The pointer stays valid until the next
    // what() on this object, a change of the object, or its destruction.
    const char *what() const noexcept override;

    virtual std::string getParameterString(const std::string &name) const;
    virtual uint32_t getParameterNum(const std::string &name) const;
    virtual void setMessageString(const std::string &newMessage);
    virtual void setParameter(const std::string &name, uint32_t value);
    virtual void setParameter(const std::string &name, const std::string &value);

private:
    void expand() const;

    std::string messageString;
    mutable std::string outputBuffer;
    std::map<std::string, std::string> stringParameters;
    std::map<std::string, uint32_t> numericParameters;
};

// The template is compiled once, in the library, for every kind it throws.
extern template class Exception<IException>;
extern template class Exception<InternalError>;
extern template class Exception<NotImplemented>;
extern template class Exception<ParameterException>;
extern template class Exception<ParseException>;
extern template class Exception<StringUnavailable>;
extern template class Exception<DataOutOfBounds>;

class InternalErrorImpl : public Exception<InternalError> {
public:
    using Exception<InternalError>::Exception;
    ~InternalErrorImpl() override;
};

class NotImplementedImpl : public Exception<NotImplemented> {
public:
    using Exception<NotImplemented>::Exception;
    ~NotImplementedImpl() override;
};

class ParameterExceptionImpl : public Exception<ParameterException> {
public:
    using Exception<ParameterException>::Exception;
    ~ParameterExceptionImpl() override;
};

class ParseExceptionImpl : public Exception<ParseException> {
public:
    using Exception<ParseException>::Exception;
    ~ParseExceptionImpl() override;
};

class StringUnavailableImpl : public Exception<StringUnavailable> {
public:
    using Exception<StringUnavailable>::Exception;
    ~StringUnavailableImpl() override;
};

class DataOutOfBoundsImpl : public Exception<DataOutOfBounds> {
public:
    using Exception<DataOutOfBounds>::Exception;
    ~DataOutOfBoundsImpl() override;
};

}  // namespace smbios

namespace memory {

class MemoryException : public smbios::IException {
public:
    ~MemoryException() override;
};

class AccessError : public MemoryException {
public:
    ~AccessError() override;
};

class OutOfBounds : public MemoryException {
public:
    ~OutOfBounds() override;
};

}  // namespace memory

namespace smbios {
extern template class Exception<memory::AccessError>;
extern template class Exception<memory::OutOfBounds>;
}  // namespace smbios

namespace memory {

class AccessErrorImpl : public smbios::Exception<AccessError> {
public:
    using smbios::Exception<AccessError>::Exception;
    ~AccessErrorImpl() override;
};

class OutOfBoundsImpl : public smbios::Exception<OutOfBounds> {
public:
    using smbios::Exception<OutOfBounds>::Exception;
    ~OutOfBoundsImpl() override;
};

}  // namespace memory

#endif  // TARNWICK_SMBIOS_EXCEPTION_H
