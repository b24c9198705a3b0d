// WindowsCls: ending the session and the NT family test.
#include "system/WindowsCls.h"

#include "system/session.h"

using namespace kro;

HRESULT WindowsCls::WinShutDown(utd_ShotdownType* lngOption) {
    return call([&] {
        if (!lngOption) raise(err::InvalidCall);
        session::endSession(session::systemPlatform(), static_cast<std::int32_t>(*lngOption));
    });
}

HRESULT WindowsCls::IsWinNT(VARIANT_BOOL* result) {
    return call([&] { *result = session::isNtFamily(session::systemPlatform()) ? VARIANT_TRUE : VARIANT_FALSE; });
}
