// Windows: COM and the WMI interfaces behind IWmiPlatform.
#include "smbios/IWmiPlatform.h"

#include <cstring>
#include <new>

#include "platform/WindowsApi.h"

#include <objbase.h>
#include <oleauto.h>
#include <wbemidl.h>

namespace smbios {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide characters are UTF-16 on Windows");

const wchar_t *wide(const char16_t *text) {
    return reinterpret_cast<const wchar_t *>(text);
}

class WmiPlatformImpl final : public IWmiPlatform {
public:
    HResult coInitialize() override { return CoInitialize(nullptr); }

    void coUninitialize() override { CoUninitialize(); }

    HResult coInitializeSecurity() override {
        return CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT_PRIVACY,
                                    RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_SECURE_REFS, nullptr);
    }

    HResult createLocator(Object *locator) override {
        IWbemLocator *made = nullptr;
        const HRESULT result = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                                reinterpret_cast<void **>(&made));
        *locator = made;
        return result;
    }

    HResult connectServer(Object locator, Object namespaceName, Object *services) override {
        IWbemServices *connected = nullptr;
        const HRESULT result = static_cast<IWbemLocator *>(locator)->ConnectServer(
            static_cast<BSTR>(namespaceName), nullptr, nullptr, nullptr, 0, nullptr, nullptr, &connected);
        *services = connected;
        return result;
    }

    HResult createInstanceEnum(Object services, Object className, Object *enumerator) override {
        IEnumWbemClassObject *made = nullptr;
        const HRESULT result =
            static_cast<IWbemServices *>(services)->CreateInstanceEnum(static_cast<BSTR>(className), 0, nullptr, &made);
        *enumerator = made;
        return result;
    }

    HResult next(Object enumerator, int32_t timeoutMs, uint32_t count, Object *object, uint32_t *returned) override {
        IWbemClassObject *found = nullptr;
        ULONG got = *returned;
        const HRESULT result = static_cast<IEnumWbemClassObject *>(enumerator)->Next(timeoutMs, count, &found, &got);
        *object = found;
        *returned = got;
        return result;
    }

    HResult getProperty(Object object, const char16_t *name, WmiValue *value) override {
        VARIANT variant;
        VariantInit(&variant);
        const HRESULT result = static_cast<IWbemClassObject *>(object)->Get(wide(name), 0, &variant, nullptr, nullptr);
        value->type = variant.vt;
        if (variant.vt == (VT_ARRAY | VT_UI1) && variant.parray != nullptr) {
            SAFEARRAY *array = variant.parray;
            const ULONG elements = array->rgsabound[0].cElements;
            void *data = nullptr;
            if (elements > 0 && SUCCEEDED(SafeArrayAccessData(array, &data))) {
                const auto *bytes = static_cast<const uint8_t *>(data);
                value->elements.assign(bytes, bytes + elements);
                SafeArrayUnaccessData(array);
            }
        } else if (variant.vt == VT_UI1) {
            value->byte = variant.bVal;
        }
        VariantClear(&variant);
        return result;
    }

    void release(Object object) override {
        if (object != nullptr) {
            static_cast<IUnknown *>(object)->Release();
        }
    }

    Object allocString(const char16_t *text) override { return SysAllocString(wide(text)); }

    void freeString(Object string) override { SysFreeString(static_cast<BSTR>(string)); }

    std::unique_ptr<uint8_t[]> allocate(std::size_t size) override {
        return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]);
    }
};

}  // namespace

IWmiPlatform *systemWmiPlatform() {
    static WmiPlatformImpl platform;
    return &platform;
}

}  // namespace smbios
