#include "platform/platform.h"

#include <csignal>
#include <cstdio>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <chrono>
#endif

#if defined(__linux__)
#include <sys/mman.h>

#include <cstdint>
#endif

#ifdef _WIN32

// The performance counter is steady and 64 bits wide; the tick count of
// GetTickCount would wrap after 49.7 days. Whole seconds and the remainder are
// scaled apart, so the product cannot overflow.
long long platform_clock_ms() {
    static const long long frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<long long>(f.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const long long ticks = now.QuadPart;
    return ticks / frequency * 1000 + ticks % frequency * 1000 / frequency;
}

void platform_prepare_console() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    // In text mode the C library would end input at a Ctrl-Z byte; the reader
    // below folds CR LF itself and keeps every other byte.
    _setmode(_fileno(stdin), _O_BINARY);
}

bool platform_read_line(char* buffer, int size) {
    int n = 0;
    while (n < size - 1) {
        int c = std::getc(stdin);
        if (c == EOF) break;
        if (c == '\r') {
            const int next = std::getc(stdin);
            if (next == '\n')
                c = '\n';
            else if (next != EOF)
                std::ungetc(next, stdin);
        }
        buffer[n++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    buffer[n] = '\0';
    return n > 0;
}

#else

long long platform_clock_ms() {
    const auto since_start = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(since_start).count();
}

void platform_prepare_console() { std::setvbuf(stdout, nullptr, _IONBF, 0); }

bool platform_read_line(char* buffer, int size) {
    return std::fgets(buffer, size, stdin) != nullptr;
}

#endif

void platform_ignore_interrupt() { std::signal(SIGINT, SIG_IGN); }

#if defined(__linux__)

// madvise takes whole pages: the part of the block from its first page
// boundary to its last.
void platform_advise_large_pages(void* memory, std::size_t bytes) {
    const std::uintptr_t page = 4096;
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(memory);
    const std::uintptr_t start = (first + page - 1) & ~(page - 1);
    const std::uintptr_t end = (first + bytes) & ~(page - 1);
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

#else

void platform_advise_large_pages(void*, std::size_t) {}

#endif
