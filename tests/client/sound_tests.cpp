// DirectSoundCls as a client uses it: by name with the caller's variables, and through the
// vtable; wave resources of a module; the range messages; a machine without audio device.
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

// Calls a member by name, as a script does, with the caller's variables by reference.
struct ByName {
    HRESULT hr = S_OK;
    long number = 0;  // Err.Number
    std::wstring description;
};

ByName invoke(IDispatch* player, const wchar_t* name, std::vector<VARIANT> args, VARIANT* result = nullptr) {
    EXCEPINFO ei{};
    VARIANT ignored;
    ::VariantInit(&ignored);
    ByName r;
    r.hr = callByName(player, name, std::move(args), result ? result : &ignored, &ei);
    if (r.hr == DISP_E_EXCEPTION) {
        r.number = HRESULT_FACILITY(ei.scode) == FACILITY_CONTROL ? HRESULT_CODE(ei.scode) : ei.scode;
        if (ei.bstrDescription) r.description = ei.bstrDescription;
    }
    ::SysFreeString(ei.bstrSource);
    ::SysFreeString(ei.bstrDescription);
    ::SysFreeString(ei.bstrHelpFile);
    ::VariantClear(&ignored);
    return r;
}

std::wstring soundSample() { return programFolder() + L"sound_sample.dll"; }

}  // namespace

TEST(DirectSoundClient, NumberingByNameWithTheCallersVariables) {
    test::TempDir dir;
    test::writeBytes(dir / L"a.wav", test::pcmWave(200));
    Player player(kProgId);
    ASSERT_TRUE(player.p);

    // Before Setting: "all" members try slot 0 (9); a load fails with 91.
    EXPECT_EQ(invoke(player.p, L"AllStoppingSound", {}).number, 9);
    Text file(dir / L"a.wav");
    EXPECT_EQ(invoke(player.p, L"LoadingFile", {byRef(&file.b)}).number, 91);

    LONG window = 0;
    ASSERT_EQ(invoke(player.p, L"Setting", {byRef(&window)}).hr, S_OK);
    EXPECT_EQ(invoke(player.p, L"AllPlayingSound", {}).hr, S_OK);  // nothing loaded: nothing to do

    VARIANT used;
    ::VariantInit(&used);
    ASSERT_EQ(invoke(player.p, L"LoadingFile", {byRef(&file.b)}, &used).hr, S_OK);
    EXPECT_EQ(used.lVal, 0);
    LONG number = -1;
    ASSERT_EQ(invoke(player.p, L"LoadingFile", {byRef(&file.b), byRef(&number)}, &used).hr, S_OK);
    EXPECT_EQ(used.lVal, 1);
    EXPECT_EQ(number, 1);  // the number used, written back

    LONG slot = 2;
    VARIANT_BOOL loop = VARIANT_TRUE;
    EXPECT_EQ(invoke(player.p, L"PlayingSound", {byRef(&slot), byRef(&loop)}).number, 91);
    slot = 3;
    EXPECT_EQ(invoke(player.p, L"PlayingSound", {byRef(&slot)}).number, 9);
    EXPECT_EQ(invoke(player.p, L"AllPlayingSound", {byRef(&loop)}).hr, S_OK);
    EXPECT_EQ(invoke(player.p, L"AllStoppingSound", {}).hr, S_OK);

    // A number of 5 leaves 0..4 partly empty: AllPlayingSound stops at the first empty slot.
    number = 5;
    ASSERT_EQ(invoke(player.p, L"LoadingFile", {byRef(&file.b), byRef(&number)}, &used).hr, S_OK);
    EXPECT_EQ(used.lVal, 5);
    ByName all = invoke(player.p, L"AllPlayingSound", {});
    EXPECT_EQ(all.number, 91);
    EXPECT_NE(all.description.find(L"number 2"), std::wstring::npos);

    // Overflow and a number below -1 fail before anything changes.
    number = 2147483647;
    EXPECT_EQ(invoke(player.p, L"LoadingFile", {byRef(&file.b), byRef(&number)}).number, 6);
    number = -2;
    EXPECT_EQ(invoke(player.p, L"LoadingFile", {byRef(&file.b), byRef(&number)}).number, 9);
    slot = 5;
    EXPECT_EQ(invoke(player.p, L"OnlyPlayingSound", {byRef(&slot)}).hr, S_OK);
    EXPECT_EQ(invoke(player.p, L"StoppingSound", {byRef(&slot)}).hr, S_OK);
}

TEST(DirectSoundClient, RangeMessagesComeBeforeTheNumber) {
    test::TempDir dir;
    test::writeBytes(dir / L"a.wav", test::pcmWave(200));
    Player player(kProgId);
    ASSERT_TRUE(player.p);
    LONG window = 0, number = -1, result = 0;
    ASSERT_HRESULT_SUCCEEDED(player->Setting(&window));
    Text file(dir / L"a.wav");
    ASSERT_HRESULT_SUCCEEDED(player->LoadingFile(&file.b, &number, &result));

    test::UiWatcher watcher({IDOK});
    LONG bad = 99, good = 0;
    LONG volumes[] = {1, -10001};
    for (LONG& v : volumes) EXPECT_HRESULT_SUCCEEDED(player->SettingVolume(&bad, &v));
    LONG pans[] = {10001, -10001};
    for (LONG& p : pans) EXPECT_HRESULT_SUCCEEDED(player->SettingPan(&bad, &p));
    ASSERT_TRUE(watcher.waitFor(4));

    // In range: no message, and the number is checked.
    LONG edges[] = {0, -10000};
    for (LONG& v : edges) EXPECT_HRESULT_SUCCEEDED(player->SettingVolume(&good, &v));
    LONG panEdges[] = {10000, -10000};
    for (LONG& p : panEdges) EXPECT_HRESULT_SUCCEEDED(player->SettingPan(&good, &p));
    EXPECT_EQ(errorNumber(player->SettingVolume(&bad, &edges[0])), 9);
    EXPECT_EQ(errorNumber(player->SettingPan(&bad, &panEdges[0])), 9);
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
    LONG window = 0, result = -5;
    ASSERT_HRESULT_SUCCEEDED(player->Setting(&window));
    Text module(soundSample()), byName(L"tone"), byNumber(L"#7"), broken(L"BROKEN"), absent(L"ABSENT");
    LONG number = -1;
    ASSERT_HRESULT_SUCCEEDED(player->LoadingRes(&module.b, &byName.b, &number, &result));
    EXPECT_EQ(result, 0);
    number = -1;
    ASSERT_HRESULT_SUCCEEDED(player->LoadingRes(&module.b, &byNumber.b, &number, &result));
    EXPECT_EQ(result, 1);
    EXPECT_HRESULT_SUCCEEDED(player->PlayingSound(&number, nullptr));

    // Failures name what is missing or wrong, and keep the last number.
    ByName missing = invoke(player.p, L"LoadingRes", {byRef(&module.b), byRef(&absent.b)});
    EXPECT_EQ(missing.number, 326);
    EXPECT_NE(missing.description.find(L"ABSENT"), std::wstring::npos);
    ByName malformed = invoke(player.p, L"LoadingRes", {byRef(&module.b), byRef(&broken.b)});
    EXPECT_EQ(malformed.number, 321);
    EXPECT_NE(malformed.description.find(L"no format chunk"), std::wstring::npos);
    Text nowhere(programFolder() + L"no_such_module.dll");
    ByName noModule = invoke(player.p, L"LoadingRes", {byRef(&nowhere.b), byRef(&byName.b)});
    EXPECT_EQ(noModule.number, 53);
    EXPECT_NE(noModule.description.find(L"no_such_module.dll"), std::wstring::npos);
    Text wave(programFolder() + L"..\\..\\tests\\support\\tone.wav");
    EXPECT_EQ(invoke(player.p, L"LoadingRes", {byRef(&wave.b), byRef(&byName.b)}).number, 321);  // not a module

    number = -1;
    ASSERT_HRESULT_SUCCEEDED(player->LoadingRes(&module.b, &byName.b, &number, &result));
    EXPECT_EQ(result, 2);
}

TEST(DirectSoundClient, ReleasingThePlayerReleasesEverything) {
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
        ASSERT_HRESULT_SUCCEEDED(player->Setting(&window));
        Text file(dir / L"a.wav");
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
    LONG window = 0;
    ByName setting = invoke(player.p, L"Setting", {byRef(&window)});
    EXPECT_TRUE(FAILED(setting.hr));
    EXPECT_NE(setting.description.find(L"No sound device could be opened"), std::wstring::npos);
    EXPECT_NE(setting.description.find(L"DirectSound"), std::wstring::npos);
    Text file(L"C:\\any.wav");
    EXPECT_EQ(invoke(player.p, L"LoadingFile", {byRef(&file.b)}).number, 91);
    LONG zero = 0;
    EXPECT_EQ(invoke(player.p, L"PlayingSound", {byRef(&zero)}).number, 9);
}
