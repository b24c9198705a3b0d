// RegistryCls: registry keys and values, the start-up list and the registry status texts.
// Every key and value member returns the Windows status code of its registry call.
#include "settings/RegistryCls.h"

#include "frame/automation.h"
#include "frame/raii.h"
#include "frame/text.h"
#include "settings/registry.h"

using namespace kro;

namespace {

constexpr const wchar_t* kStartupKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

HKEY rootOf(const RegistryRoots* root) { return registry::rootKey(static_cast<LONG>(*root)); }

// Replaces the Byte array in a caller's variable. An array the caller cannot let go of (fixed
// size, or locked while it is being used) fails as redimensioning it would.
void replaceByteArray(SAFEARRAY** target, std::span<const std::byte> bytes) {
    if (!target) raise(err::InvalidCall);
    SafeArray fresh(makeByteArray(bytes));
    if (SAFEARRAY* old = *target) {
        constexpr USHORT kFixed = FADF_FIXEDSIZE | FADF_STATIC | FADF_EMBEDDED | FADF_AUTO;
        if ((old->fFeatures & kFixed) || old->cLocks != 0) raise(err::ArrayFixedOrLocked);
        if (FAILED(::SafeArrayDestroy(old))) raise(err::ArrayFixedOrLocked);
    }
    *target = fresh.release();
}

// The one-element array (a single zero byte) that GetRegBinary leaves when it reads nothing.
constexpr std::byte kNoData[1] = {std::byte{0}};

// The registry holds at most 512 levels; deeper paths can only come from a symbolic link that
// leads back up the tree, which the walk must not follow for ever.
constexpr int kMaxDepth = 512;

// Removes everything below the key, leaves first: each level's complete list of subkeys is
// taken before any of them is deleted.
void deleteSubKeys(HKEY root, std::wstring_view path, int depth = 0) {
    if (path.empty() || depth > kMaxDepth) return;
    std::wstring prefix(path);
    if (prefix.back() != L'\\') prefix += L'\\';
    for (const std::wstring& name : registry::subkeyNames(root, path)) {
        std::wstring child = prefix + name;
        deleteSubKeys(root, child, depth + 1);
        registry::deleteKey(root, child);
    }
}

}  // namespace

HRESULT RegistryCls::CreateRegKey(RegistryRoots* lngKeyRoot, BSTR* strRegistryKey, LONG* result) {
    return call([&] { *result = registry::createKey(rootOf(lngKeyRoot), view(*strRegistryKey)); });
}

HRESULT RegistryCls::ManyMkKey(RegistryRoots* lngKeyRoot, BSTR* strRegistryKey, LONG* result) {
    return call([&] { *result = registry::makeKeyChain(rootOf(lngKeyRoot), view(*strRegistryKey)); });
}

HRESULT RegistryCls::DeleteRegKey(RegistryRoots* lngKeyRoot, BSTR* strRegistryKey, LONG* result) {
    return call([&] { *result = registry::deleteKey(rootOf(lngKeyRoot), view(*strRegistryKey)); });
}

HRESULT RegistryCls::SetRegValue(RegistryRoots* lngKeyRoot, BSTR* strRegistryKey, BSTR* strValueName, BSTR strValue,
                                 LONG* result) {
    return call([&] {
        *result = registry::writeText(rootOf(lngKeyRoot), view(*strRegistryKey), view(*strValueName), view(strValue));
    });
}

HRESULT RegistryCls::SetRegBinary(RegistryRoots* lngKeyRoot, BSTR* strRegistryKey, BSTR* strValueName,
                                  SAFEARRAY** strValue, LONG* result) {
    return call([&] {
        RegKey key;
        LONG status = registry::createOrOpen(rootOf(lngKeyRoot), view(*strRegistryKey), key);
        if (status != ERROR_SUCCESS) {
            *result = status;
            return;
        }
        // The elements from index 0 to the upper bound are written; an array without an
        // element 0 (never dimensioned, empty, or starting above 0) has nothing to start from.
        ByteArrayAccess access(strValue ? *strValue : nullptr);
        LONG lower = access.lowerBound();
        auto bytes = access.bytes();
        if (lower > 0 || bytes.size() <= static_cast<size_t>(-static_cast<LONGLONG>(lower)))
            raise(err::SubscriptOutOfRange);
        *result = registry::writeBinary(key.get(), view(*strValueName), bytes.subspan(static_cast<size_t>(-static_cast<LONGLONG>(lower))));
    });
}

HRESULT RegistryCls::GetRegValue(RegistryRoots* lngKeyRoot, BSTR* strRegistryKey, BSTR* strValueName, BSTR* strValue,
                                 LONG* result) {
    return call([&] {
        assign(strValue, L"");
        std::wstring text;
        LONG status = registry::readText(rootOf(lngKeyRoot), view(*strRegistryKey), view(*strValueName), text);
        if (!text.empty()) assign(strValue, text);
        *result = status;
    });
}

HRESULT RegistryCls::GetRegBinary(RegistryRoots* lngKeyRoot, BSTR* strRegistryKey, BSTR* strValueName,
                                  SAFEARRAY** strValue, LONG* result) {
    return call([&] {
        replaceByteArray(strValue, kNoData);
        std::vector<std::byte> bytes;
        LONG status = registry::readBinary(rootOf(lngKeyRoot), view(*strRegistryKey), view(*strValueName), bytes);
        if (!bytes.empty()) replaceByteArray(strValue, bytes);
        *result = status;
    });
}

HRESULT RegistryCls::DeleteRegValue(RegistryRoots* lngKeyRoot, BSTR* strRegistryKey, BSTR* strValueName, LONG* result) {
    return call([&] {
        *result = registry::deleteValue(rootOf(lngKeyRoot), view(*strRegistryKey), view(*strValueName));
    });
}

HRESULT RegistryCls::ManyDeleteRegKey(RegistryRoots* lngKeyRoot, BSTR* strRegistryKey, LONG* result) {
    return call([&] {
        HKEY root = rootOf(lngKeyRoot);
        deleteSubKeys(root, view(*strRegistryKey));
        *result = registry::deleteKey(root, view(*strRegistryKey));
    });
}

HRESULT RegistryCls::GetEnumRegistryKeys(RegistryRoots lngKeyRoot, BSTR strRegistryKey, SAFEARRAY** result) {
    return call([&] {
        *result = makeListingArray(registry::subkeyNames(registry::rootKey(static_cast<LONG>(lngKeyRoot)), view(strRegistryKey)));
    });
}

HRESULT RegistryCls::SetStartupFile(BSTR* ValueName, BSTR* TargetFile, VARIANT* result) {
    return call([&] {
        ::VariantInit(result);
        // The status of the write is not reported: the result is always Empty.
        registry::writeText(HKEY_CURRENT_USER, kStartupKey, view(*ValueName), view(*TargetFile));
    });
}

HRESULT RegistryCls::DeleteStartupFile(BSTR* ValueName, VARIANT* result) {
    return call([&] {
        ::VariantInit(result);
        registry::deleteValue(HKEY_CURRENT_USER, kStartupKey, view(*ValueName));
    });
}

HRESULT RegistryCls::GetRegErrorText(LONG* lStatus, BSTR* result) {
    return call([&] { *result = allocBstr(registry::statusText(*lStatus)); });
}
