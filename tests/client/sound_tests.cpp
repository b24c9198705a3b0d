// DirectSoundCls as a client uses it: wave resources of a module, the range messages, release,
// and a machine without audio device. Script-style calls are in tests/scripts/sound.vbs.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "tests/client/filesystem_client.h"
#include "tests/support/test_files.h"
#include "tests/support/ui_watcher.h"
#include "tests/support/wave_image.h"

using namespace kro::client;
namespace test = kro::test;

namespace {

using Player = Object<_DirectSoundCls>;
constexpr const wchar_t* kProgId = L"kroProgramDll.DirectSoundCls";

// Calls a member by name as a script does; returns Err.Number (0 on success) and the description.
long invoke(IDispatch* player, const wchar_t* name, std::vector<VARIANT> args, std::wstring* description = nullptr) {
    EXCEPINFO ei{};
    VARIANT result;
    ::VariantInit(&result);
    HRESULT hr = callByName(player, name, std::move(args), &result, &ei);
    if (description && ei.bstrDescription) *description = ei.bstrDescription;
    ::SysFreeString(ei.bstrSource);
    ::SysFreeString(ei.bstrDescription);
    ::SysFreeString(ei.bstrHelpFile);
    ::VariantClear(&result);
    return hr == DISP_E_EXCEPTION ? (HRESULT_FACILITY(ei.scode) == FACILITY_CONTROL ? HRESULT_CODE(ei.scode) : ei.scode) : hr;
}

}  // namespace

TEST(DirectSoundClient, RangeMessagesComeBeforeTheNumber) {
    test::TempDir dir;
    test::writeBytes(dir / L"a.wav", test::pcmWave(200));
    Player player(kProgId);
    ASSERT_TRUE(player.p);
    LONG window = 0, number = -1, result = 0, bad = 99, good = 0;
    Text file(dir / L"a.wav");
    ASSERT_HRESULT_SUCCEEDED(player->Setting(&window));
    ASSERT_HRESULT_SUCCEEDED(player->LoadingFile(&file.b, &number, &result));

    test::UiWatcher watcher({IDOK});
    LONG outside[] = {1, -10001, 10001, -10001}, edges[] = {0, -10000, 10000, -10000};
    for (int i = 0; i < 4; ++i) {
        EXPECT_HRESULT_SUCCEEDED(i < 2 ? player->SettingVolume(&bad, &outside[i]) : player->SettingPan(&bad, &outside[i]));
        EXPECT_HRESULT_SUCCEEDED(i < 2 ? player->SettingVolume(&good, &edges[i]) : player->SettingPan(&good, &edges[i]));
    }
    ASSERT_TRUE(watcher.waitFor(4));
    EXPECT_EQ(errorNumber(player->SettingVolume(&bad, &edges[0])), 9);
    ::Sleep(300);
    auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 4u);
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].text, i < 2 ? L"Volumeは-10000~0の間で設定してください。" : L"Panは-10000~10000の間で設定してください。");
        EXPECT_EQ(seen[i].caption, L"kro project program dll library");
        EXPECT_EQ(seen[i].icon, test::BoxIcon::None);
        EXPECT_EQ(seen[i].buttons.size(), 1u);
    }
}

TEST(DirectSoundClient, WaveResourcesOfAModule) {
    Player player(kProgId);
    ASSERT_TRUE(player.p);
    LONG window = 0, number = -1, result = -5;
    ASSERT_HRESULT_SUCCEEDED(player->Setting(&window));
    Text module(programFolder() + L"sound_sample.dll"), tone(L"tone"), seven(L"#7"), broken(L"BROKEN"), absent(L"ABSENT");
    ASSERT_HRESULT_SUCCEEDED(player->LoadingRes(&module.b, &tone.b, &number, &result));
    EXPECT_EQ(result, 0);
    number = -1;
    ASSERT_HRESULT_SUCCEEDED(player->LoadingRes(&module.b, &seven.b, &number, &result));
    EXPECT_EQ(result, 1);
    EXPECT_HRESULT_SUCCEEDED(player->PlayingSound(&number, nullptr));

    std::wstring description;
    EXPECT_EQ(invoke(player.p, L"LoadingRes", {byRef(&module.b), byRef(&absent.b)}, &description), 326);
    EXPECT_NE(description.find(L"ABSENT"), std::wstring::npos);
    EXPECT_EQ(invoke(player.p, L"LoadingRes", {byRef(&module.b), byRef(&broken.b)}, &description), 321);
    EXPECT_NE(description.find(L"no format chunk"), std::wstring::npos);
    Text nowhere(programFolder() + L"no_such_module.dll"), wave(programFolder() + L"..\\..\\tests\\support\\tone.wav");
    EXPECT_EQ(invoke(player.p, L"LoadingRes", {byRef(&nowhere.b), byRef(&tone.b)}, &description), 53);
    EXPECT_NE(description.find(L"no_such_module.dll"), std::wstring::npos);
    EXPECT_EQ(invoke(player.p, L"LoadingRes", {byRef(&wave.b), byRef(&tone.b)}), 321);  // not a module
}

TEST(DirectSoundClient, ReleasingThePlayerLetsTheModuleUnload) {
    test::TempDir dir;
    test::writeBytes(dir / L"a.wav", test::pcmWave(44100));
    HMODULE module = ::GetModuleHandleW(test::modulePath().c_str());
    ASSERT_TRUE(module);
    auto canUnload = reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(::GetProcAddress(module, "DllCanUnloadNow")));
    {
        Player player(kProgId);
        ASSERT_TRUE(player.p);
        LONG window = 0, number = -1, result = 0;
        VARIANT_BOOL loop = VARIANT_TRUE;
        Text file(dir / L"a.wav");
        ASSERT_HRESULT_SUCCEEDED(player->Setting(&window));
        for (int i = 0; i < 3; ++i) ASSERT_HRESULT_SUCCEEDED(player->LoadingFile(&file.b, &(number = -1), &result));
        ASSERT_HRESULT_SUCCEEDED(player->AllPlayingSound(&loop));
        EXPECT_EQ(canUnload(), S_FALSE);
    }
    EXPECT_EQ(canUnload(), S_OK);
}

// Runs in the test environment without audio device (KRO_TEST_AUDIO=none).
TEST(DirectSoundWithoutDevice, SettingFailsClearly) {
    const char* audio = std::getenv("KRO_TEST_AUDIO");
    if (!audio || std::string(audio) != "none") GTEST_SKIP() << "an audio device is present";
    Player player(kProgId);
    ASSERT_TRUE(player.p);
    LONG window = 0, zero = 0;
    std::wstring description;
    EXPECT_LT(invoke(player.p, L"Setting", {byRef(&window)}, &description), 0);  // the DirectSound result
    EXPECT_NE(description.find(L"No sound device could be opened (DirectSound "), std::wstring::npos);
    Text file(L"C:\\any.wav");
    EXPECT_EQ(invoke(player.p, L"LoadingFile", {byRef(&file.b)}), 91);
    EXPECT_EQ(invoke(player.p, L"PlayingSound", {byRef(&zero)}), 9);
}
