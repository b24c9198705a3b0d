// The multi-volume set: names, volume boundaries, the open-file table and the warning boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "filesystem/multivolume.h"
#include "tests/support/test_files.h"
#include "tests/support/ui_watcher.h"

using namespace kro;
using kro::test::TempDir;
using kro::test::UiWatcher;
using Bytes = std::vector<unsigned char>;

namespace {

Bytes pattern(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<unsigned char>((i * 7 + i / 251) & 0xFF);
    return b;
}

std::wstring vol(const TempDir& dir, const wchar_t* base, long n) {
    return dir / (std::wstring(base) + L"." + multivolume::numberText(n));
}

std::size_t sizeOf(const std::wstring& p) { return test::readBytes(p).size(); }

struct ThreadProbe {
    std::wstring base;
    std::size_t before = 99, after = 99;
    long handle = 0;
};

DWORD WINAPI openOnOtherThread(void* p) {
    auto* probe = static_cast<ThreadProbe*>(p);
    probe->before = multivolume::openCount();
    probe->handle = multivolume::openVolume(probe->base, 2, false);
    probe->after = multivolume::openCount();
    return 0;
}

}  // namespace

TEST(MultiVolumeNames, NumberTextAndBase) {
    EXPECT_EQ(multivolume::numberText(7), L"007");
    EXPECT_EQ(multivolume::numberText(42), L"042");
    EXPECT_EQ(multivolume::numberText(999), L"999");
    EXPECT_EQ(multivolume::numberText(0), L"000");
    EXPECT_EQ(multivolume::numberText(1234), L"234");
    EXPECT_EQ(multivolume::numberText(-5), L"0-5");
    EXPECT_EQ(multivolume::basePath(L"C:\\x\\out.dat"), L"C:\\x\\out");
    EXPECT_EQ(multivolume::basePath(L"C:\\my.dir\\out"), L"C:\\my");
    EXPECT_EQ(multivolume::basePath(L"a.b.c"), L"a.b");
    EXPECT_FALSE(multivolume::basePath(L"C:\\x\\out").has_value());
}

TEST(MultiVolumeConvert, WholeChunksDecideBoundaries) {
    TempDir dir;
    Bytes data = pattern(100000);
    test::writeBytes(dir / L"in.bin", data);
    UiWatcher watcher;
    EXPECT_EQ(multivolume::toVolumes(dir / L"in.bin", dir / L"v.dat", 70000), 2);
    EXPECT_EQ(sizeOf(vol(dir, L"v", 1)), 64000u);
    EXPECT_EQ(sizeOf(vol(dir, L"v", 2)), 36000u);
    EXPECT_FALSE(test::fileExists(vol(dir, L"v", 3)));
    EXPECT_TRUE(multivolume::toSingle(dir / L"v.xyz", dir / L"out.bin"));
    EXPECT_EQ(test::readBytes(dir / L"out.bin"), data);
    EXPECT_TRUE(watcher.seen().empty());
    EXPECT_EQ(multivolume::openCount(), 0u);
}

TEST(MultiVolumeConvert, SmallVolumesTakeOneChunkEach) {
    TempDir dir;
    Bytes data = pattern(70000);
    test::writeBytes(dir / L"in.bin", data);
    EXPECT_EQ(multivolume::toVolumes(dir / L"in.bin", dir / L"v.dat", 1000), 4);
    EXPECT_EQ(sizeOf(vol(dir, L"v", 1)), 0u);
    EXPECT_EQ(sizeOf(vol(dir, L"v", 2)), 32000u);
    EXPECT_EQ(sizeOf(vol(dir, L"v", 3)), 32000u);
    EXPECT_EQ(sizeOf(vol(dir, L"v", 4)), 6000u);
    EXPECT_TRUE(multivolume::toSingle(dir / L"v.dat", dir / L"out.bin"));
    EXPECT_EQ(test::readBytes(dir / L"out.bin"), data);
}

TEST(MultiVolumeConvert, SizesAroundTheLimit) {
    TempDir dir;
    const long s = 64000;
    for (std::size_t n : {0u, 1u, 63999u, 64000u, 64001u, 128000u, 192001u}) {
        Bytes data = pattern(n);
        test::writeBytes(dir / L"in.bin", data);
        short count = multivolume::toVolumes(dir / L"in.bin", dir / L"v.dat", s);
        short expected = n == 0 ? 1 : static_cast<short>((n + s - 1) / s);
        EXPECT_EQ(count, expected) << n;
        for (long i = 1; i < count; ++i) EXPECT_EQ(sizeOf(vol(dir, L"v", i)), 64000u) << n;
        EXPECT_TRUE(multivolume::toSingle(dir / L"v.dat", dir / L"out.bin"));
        EXPECT_EQ(test::readBytes(dir / L"out.bin"), data) << n;
        for (long i = 1; i <= count; ++i) ::DeleteFileW(vol(dir, L"v", i).c_str());
    }
}

TEST(MultiVolumeConvert, ReplacedFilesEndWithTheirData) {
    TempDir dir;
    test::writeBytes(vol(dir, L"v", 1), pattern(90000));
    test::writeBytes(dir / L"out.bin", pattern(200000));
    Bytes data = pattern(1000);
    test::writeBytes(dir / L"in.bin", data);
    EXPECT_EQ(multivolume::toVolumes(dir / L"in.bin", dir / L"v.dat", 70000), 1);
    EXPECT_EQ(test::readBytes(vol(dir, L"v", 1)), data);
    EXPECT_TRUE(multivolume::toSingle(dir / L"v.dat", dir / L"out.bin"));
    EXPECT_EQ(test::readBytes(dir / L"out.bin"), data);
}

TEST(MultiVolumeConvert, FewerVolumesThanAnEarlierSetAndSetsWithAGap) {
    TempDir dir;
    test::writeBytes(dir / L"long.bin", pattern(200000));
    ASSERT_EQ(multivolume::toVolumes(dir / L"long.bin", dir / L"v.dat", 32000), 7);
    test::writeBytes(vol(dir, L"v", 9), {1, 2, 3});  // a stray volume beyond a gap goes too
    Bytes shortData = pattern(50000);
    test::writeBytes(dir / L"short.bin", shortData);
    UiWatcher watcher;
    EXPECT_EQ(multivolume::toVolumes(dir / L"short.bin", dir / L"v.dat", 32000), 2);
    for (long n : {3, 7, 9}) EXPECT_FALSE(test::fileExists(vol(dir, L"v", n))) << n;
    EXPECT_TRUE(multivolume::toSingle(dir / L"v.dat", dir / L"out.bin"));
    EXPECT_EQ(test::readBytes(dir / L"out.bin"), shortData);
    EXPECT_TRUE(watcher.seen().empty());

    // .003 missing, .004 there: nothing is written and the missing volume is named.
    test::writeBytes(vol(dir, L"g", 1), {1});
    test::writeBytes(vol(dir, L"g", 2), {2});
    test::writeBytes(vol(dir, L"g", 4), {4});
    EXPECT_FALSE(multivolume::toSingle(dir / L"g.dat", dir / L"gap.bin"));
    EXPECT_FALSE(test::fileExists(dir / L"gap.bin"));
    ASSERT_TRUE(watcher.waitFor(1));
    EXPECT_EQ(watcher.seen()[0].caption, L"CnvSglVol()");
    EXPECT_EQ(watcher.seen()[0].text, L"分割ファイルが欠けています。\nfnm = " + vol(dir, L"g", 3));
    EXPECT_EQ(watcher.seen()[0].icon, test::BoxIcon::Exclamation);
    EXPECT_EQ(multivolume::openCount(), 0u);
}

TEST(MultiVolumeConvert, NineHundredNinetyNineVolumes) {
    TempDir dir;
    // 999 chunks with volumes smaller than a chunk: volume 1 stays empty, so a 1000th is needed.
    Bytes data = pattern(998 * 32000 + 1);
    test::writeBytes(dir / L"in.bin", data);
    {
        UiWatcher watcher;
        EXPECT_EQ(multivolume::toVolumes(dir / L"in.bin", dir / L"v.dat", 100), 0);
        ASSERT_TRUE(watcher.waitFor(1));
        auto seen = watcher.seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].caption, L"OpenMltFile()");
        EXPECT_EQ(seen[0].text, L"分割ファイルが 999 を越えました。\noutfnm = " + (dir / L"v"));
        EXPECT_EQ(seen[0].icon, test::BoxIcon::Exclamation);
        EXPECT_EQ(seen[0].buttons.size(), 1u);
    }
    EXPECT_TRUE(test::fileExists(vol(dir, L"v", 999)));
    EXPECT_EQ(sizeOf(vol(dir, L"v", 999)), 32000u);
    EXPECT_FALSE(test::fileExists(dir / L"v.000"));
    EXPECT_EQ(multivolume::openCount(), 0u);

    // Joining exactly 999 volumes copies them all, then reports the limit and still succeeds.
    UiWatcher watcher;
    EXPECT_TRUE(multivolume::toSingle(dir / L"v.dat", dir / L"out.bin"));
    ASSERT_TRUE(watcher.waitFor(1));
    EXPECT_EQ(watcher.seen()[0].text, L"分割ファイルが 999 を越えました。\noutfnm = " + (dir / L"v"));
    Bytes joined = test::readBytes(dir / L"out.bin");
    EXPECT_EQ(joined.size(), 998u * 32000);
    EXPECT_TRUE(std::equal(joined.begin(), joined.end(), data.begin()));
}

TEST(MultiVolumeConvert, FailureMessages) {
    TempDir dir;
    {
        UiWatcher watcher;
        std::wstring missing = dir / L"missing.bin";
        EXPECT_EQ(multivolume::toVolumes(missing, dir / L"v.dat", 1000), 0);
        ASSERT_TRUE(watcher.waitFor(1));
        EXPECT_EQ(watcher.seen()[0].caption, L"CnvMltVol()");
        EXPECT_EQ(watcher.seen()[0].text, L"入力ファイルのオープンに失敗しました。\n for input infnm = " + missing);
        EXPECT_EQ(watcher.seen()[0].icon, test::BoxIcon::Exclamation);
        EXPECT_FALSE(test::fileExists(missing));
    }
    {
        UiWatcher watcher;
        EXPECT_FALSE(multivolume::toSingle(dir / L"v.dat", dir / L"out.bin"));
        ASSERT_TRUE(watcher.waitFor(1));
        EXPECT_EQ(watcher.seen()[0].caption, L"CnvSglVol()");
        EXPECT_EQ(watcher.seen()[0].text, L"分割ファイルが見つかりません。\ninfnm = " + (dir / L"v.dat"));
        EXPECT_FALSE(test::fileExists(dir / L"out.bin"));
        EXPECT_FALSE(test::fileExists(dir / L"v.001"));
    }
    {
        test::writeBytes(dir / L"v.001", Bytes{1, 2});
        UiWatcher watcher;
        std::wstring folder = dir.path();  // an output that is a folder cannot be opened
        EXPECT_FALSE(multivolume::toSingle(dir / L"v.dat", folder));
        ASSERT_TRUE(watcher.waitFor(1));
        EXPECT_EQ(watcher.seen()[0].caption, L"CnvSglVol()");
        EXPECT_EQ(watcher.seen()[0].text, L"統合ファイルのオープンに失敗しました。\noutfnm = " + folder);
        EXPECT_EQ(multivolume::openCount(), 0u);
    }
    {
        // Names without "." give no base: failure without a message.
        UiWatcher watcher;
        test::writeBytes(dir / L"in.bin", Bytes{1});
        EXPECT_EQ(multivolume::toVolumes(dir / L"in.bin", dir / L"nodot", 1000), 0);
        EXPECT_FALSE(multivolume::toSingle(dir / L"nodot", dir / L"out.bin"));
        ::Sleep(200);
        EXPECT_TRUE(watcher.seen().empty());
    }
}

TEST(MultiVolumeConvert, OutputOrVolumeThatIsTheSourceIsRefused) {
    TempDir dir;
    Bytes a = pattern(5000), b = pattern(7000);
    test::writeBytes(vol(dir, L"v", 1), a);
    test::writeBytes(vol(dir, L"v", 2), b);
    UiWatcher watcher;
    // Joining into the second volume would overwrite it before it is read.
    EXPECT_FALSE(multivolume::toSingle(dir / L"v.dat", vol(dir, L"v", 2)));
    EXPECT_EQ(test::readBytes(vol(dir, L"v", 2)), b);
    // Cutting a volume into its own set would overwrite it while it is read.
    EXPECT_EQ(multivolume::toVolumes(vol(dir, L"v", 1), dir / L"v.dat", 1000), 0);
    EXPECT_EQ(test::readBytes(vol(dir, L"v", 1)), a);
    EXPECT_EQ(watcher.seen().size(), 2u);
    EXPECT_EQ(multivolume::openCount(), 0u);
}

TEST(MultiVolumeConvert, UnreadableVolumeIsAFailure) {
    TempDir dir;
    test::writeBytes(vol(dir, L"v", 1), pattern(100));
    test::writeBytes(vol(dir, L"v", 2), pattern(100));
    test::writeBytes(vol(dir, L"v", 3), pattern(100));
    // Another program holds volume 2 exclusively: the output would end after volume 1.
    HANDLE held = ::CreateFileW(vol(dir, L"v", 2).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    UiWatcher watcher;
    EXPECT_FALSE(multivolume::toSingle(dir / L"v.dat", dir / L"out.bin"));
    ::CloseHandle(held);
    ASSERT_TRUE(watcher.waitFor(1));
    EXPECT_EQ(watcher.seen()[0].caption, L"OpenMltFile()");
    EXPECT_EQ(watcher.seen()[0].text, L"分割ファイルのオープンに失敗しました。\nfnm = " + vol(dir, L"v", 2));
    EXPECT_EQ(multivolume::openCount(), 0u);
}

TEST(MultiVolumeConvert, WriteErrorIsAFailure) {
    TempDir dir;
    test::writeBytes(dir / L"in.bin", pattern(100000));
    // Another program reads volume 2 and lets others only read it: it opens for reading only,
    // so writing into it fails.
    test::writeBytes(vol(dir, L"v", 2), Bytes{1});
    HANDLE held = ::CreateFileW(vol(dir, L"v", 2).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    UiWatcher watcher;
    EXPECT_EQ(multivolume::toVolumes(dir / L"in.bin", dir / L"v.dat", 40000), 0);
    ::CloseHandle(held);
    EXPECT_EQ(sizeOf(vol(dir, L"v", 1)), 32000u);
    EXPECT_EQ(test::readBytes(vol(dir, L"v", 2)), Bytes{1});
    EXPECT_TRUE(watcher.seen().empty());
    EXPECT_EQ(multivolume::openCount(), 0u);
}

TEST(MultiVolumeTable, HandlesArePerThreadAndStayOpen) {
    TempDir dir;
    std::wstring base = dir / L"t";
    long h1 = multivolume::openVolume(base, 1, false);
    long h2 = multivolume::openVolume(base, 0, false);
    EXPECT_GT(h1, 0);
    EXPECT_GT(h2, 0);
    EXPECT_NE(h1, h2);
    EXPECT_TRUE(test::fileExists(base + L".001"));
    EXPECT_TRUE(test::fileExists(base + L".000"));
    // With chk a missing volume is neither created nor reported.
    {
        UiWatcher watcher;
        EXPECT_EQ(multivolume::openVolume(base, 5, true), 0);
        ::Sleep(200);
        EXPECT_TRUE(watcher.seen().empty());
        EXPECT_FALSE(test::fileExists(base + L".005"));
    }
    long h3 = multivolume::openVolume(base, 1, true);
    EXPECT_GT(h3, 0);
    EXPECT_EQ(multivolume::openCount(), 3u);

    ThreadProbe probe{base};
    HANDLE t = ::CreateThread(nullptr, 0, &openOnOtherThread, &probe, 0, nullptr);
    ::WaitForSingleObject(t, INFINITE);
    ::CloseHandle(t);
    EXPECT_EQ(probe.before, 0u);
    EXPECT_EQ(probe.handle, 1);
    EXPECT_EQ(probe.after, 1u);
    // The thread's table closed its file when the thread ended: the volume can be deleted.
    EXPECT_TRUE(::DeleteFileW((base + L".002").c_str()));

    // Converting on this thread leaves the caller's handles open.
    test::writeBytes(dir / L"in.bin", pattern(10));
    EXPECT_EQ(multivolume::toVolumes(dir / L"in.bin", dir / L"c.dat", 1000), 1);
    EXPECT_TRUE(multivolume::toSingle(dir / L"c.dat", dir / L"out.bin"));
    EXPECT_EQ(multivolume::openCount(), 3u);
    EXPECT_NE(multivolume::volumeFile(h1), nullptr);
    multivolume::closeVolume(h1);
    multivolume::closeVolume(h2);
    multivolume::closeVolume(h3);
    EXPECT_EQ(multivolume::openCount(), 0u);
}

TEST(MultiVolumeTable, OpenFailureAndLimit) {
    TempDir dir;
    UiWatcher watcher;
    std::wstring bad = dir / L"nofolder\\x";
    EXPECT_EQ(multivolume::openVolume(bad, 1, false), 0);
    EXPECT_EQ(multivolume::openVolume(dir / L"x", 1000, false), 0);
    ASSERT_TRUE(watcher.waitFor(2));
    auto seen = watcher.seen();
    EXPECT_EQ(seen[0].caption, L"OpenMltFile()");
    EXPECT_EQ(seen[0].text, L"分割ファイルのオープンに失敗しました。\nfnm = " + bad + L".001");
    EXPECT_EQ(seen[1].text, L"分割ファイルが 999 を越えました。\noutfnm = " + (dir / L"x"));
    EXPECT_FALSE(test::fileExists(dir / L"x.000"));
}
