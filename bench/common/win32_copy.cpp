// The floor of every file-moving member: a bare Win32 copy of the same bytes with
// ReadFile/WriteFile through one buffer, nothing else. The sources are copied one after the
// other into one new destination (one source: a plain copy; the volumes of a set: a join).
// Prints "<seconds> <bytes>" for the copy, timed inside the process (opens and closes
// included), as the members are timed in theirs.
// The destination must not exist: it is created new, as the members create theirs. (Emptying an
// existing file instead would make ext4 under Wine start writing the whole file back when it is
// closed, inside the timed part: 0.45 s of 0.8 s for 1 GiB here.)
// usage: win32_copy <chunk bytes> <new destination> <source>...
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: win32_copy <chunk bytes> <new destination> <source>...\n");
        return 2;
    }
    const DWORD chunk = static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10));
    if (chunk == 0) return 2;
    std::vector<char> buffer(chunk);
    LARGE_INTEGER f, t0, t1;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&t0);
    HANDLE out = ::CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return 3;
    unsigned long long total = 0;
    for (int i = 3; i < argc; ++i) {
        HANDLE in = ::CreateFileW(argv[i], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (in == INVALID_HANDLE_VALUE) return 3;
        for (;;) {
            DWORD got = 0, put = 0;
            if (!::ReadFile(in, buffer.data(), chunk, &got, nullptr)) return 4;
            if (got == 0) break;
            if (!::WriteFile(out, buffer.data(), got, &put, nullptr) || put != got) return 5;
            total += got;
        }
        ::CloseHandle(in);
    }
    ::CloseHandle(out);
    ::QueryPerformanceCounter(&t1);
    std::printf("%.4f %llu\n", static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(f.QuadPart), total);
    return 0;
}
