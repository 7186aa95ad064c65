#pragma once

// Gigabytes of one repeated byte at the cost of one megabyte: a single memory file mapped
// again and again side by side. For inputs larger than a test may allocate.

#include <cstddef>
#include <cstring>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

namespace lexanta::test {

class RepeatedBytes {
public:
    // `size` is rounded up to whole megabytes; view() is empty when the mapping failed.
    RepeatedBytes(char byte, std::size_t size) {
        size_ = (size + kChunk - 1) / kChunk * kChunk;
        const int fd = memfd_create("repeated", 0);
        if (fd < 0 || ftruncate(fd, kChunk) != 0) {
            size_ = 0;
            return;
        }
        void* chunk = mmap(nullptr, kChunk, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (chunk != MAP_FAILED) {
            std::memset(chunk, byte, kChunk);
            munmap(chunk, kChunk);
        }
        void* range =
            mmap(nullptr, size_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (chunk == MAP_FAILED || range == MAP_FAILED) {
            close(fd);
            size_ = 0;
            return;
        }
        data_ = static_cast<char*>(range);
        for (std::size_t at = 0; at < size_; at += kChunk)
            if (mmap(data_ + at, kChunk, PROT_READ, MAP_SHARED | MAP_FIXED, fd, 0) == MAP_FAILED) {
                munmap(data_, size_);
                data_ = nullptr;
                size_ = 0;
                break;
            }
        close(fd);
    }
    ~RepeatedBytes() {
        if (data_)
            munmap(data_, size_);
    }
    RepeatedBytes(const RepeatedBytes&) = delete;
    RepeatedBytes& operator=(const RepeatedBytes&) = delete;

    std::string_view view() const { return {data_, size_}; }

private:
    static constexpr std::size_t kChunk = 1 << 20;
    char* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace lexanta::test
