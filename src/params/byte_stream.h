// Cursors over stored bytes. Every number in a program, bank or chunk is 32-bit big-endian; floats
// are stored as their IEEE-754 bit pattern. The reader never reads past the bytes it was given:
// a read beyond the end fails, sets the failed flag and yields zero.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace pelko {

class ByteWriter {
public:
    void putInt32(std::int32_t value)
    {
        auto u = static_cast<std::uint32_t>(value);
        put4(static_cast<std::uint8_t>(u >> 24), static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 8),
             static_cast<std::uint8_t>(u));
    }
    void putFloat(float value)
    {
        std::uint32_t u;
        std::memcpy(&u, &value, 4);
        putInt32(static_cast<std::int32_t>(u));
    }
    void putBytes(const void* data, std::size_t size)
    {
        if (size == 0) {
            return;
        }
        const auto* p = static_cast<const std::uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + size);
    }
    void putZeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }
    // Little-endian 32-bit integer (used only by preset-library records).
    void putInt32LittleEndian(std::int32_t value)
    {
        auto u = static_cast<std::uint32_t>(value);
        put4(static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u >> 16),
             static_cast<std::uint8_t>(u >> 24));
    }

    std::size_t size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    void put4(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d)
    {
        bytes_.push_back(a);
        bytes_.push_back(b);
        bytes_.push_back(c);
        bytes_.push_back(d);
    }

    std::vector<std::uint8_t> bytes_;
};

class ByteReader {
public:
    ByteReader(const void* data, std::size_t size) : data_(static_cast<const std::uint8_t*>(data)), size_(size) {}

    bool failed() const { return failed_; }
    std::size_t position() const { return position_; }
    std::size_t remaining() const { return size_ - position_; }
    bool atEnd() const { return position_ == size_; }
    // The bytes not read yet (remaining() of them).
    const std::uint8_t* cursor() const { return data_ + position_; }

    std::int32_t int32()
    {
        if (!ensure(4)) {
            return 0;
        }
        const std::uint8_t* p = data_ + position_;
        position_ += 4;
        return static_cast<std::int32_t>((std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) |
                                         (std::uint32_t(p[2]) << 8) | std::uint32_t(p[3]));
    }
    float float32()
    {
        auto u = static_cast<std::uint32_t>(int32());
        float f;
        std::memcpy(&f, &u, 4);
        return f;
    }
    std::int32_t int32LittleEndian()
    {
        if (!ensure(4)) {
            return 0;
        }
        const std::uint8_t* p = data_ + position_;
        position_ += 4;
        return static_cast<std::int32_t>(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) |
                                         (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24));
    }
    // Copies size bytes; on a short stream nothing is copied and the reader fails.
    bool bytes(void* out, std::size_t size)
    {
        if (!ensure(size)) {
            return false;
        }
        if (size > 0) {
            std::memcpy(out, data_ + position_, size);
        }
        position_ += size;
        return true;
    }
    bool skip(std::size_t size)
    {
        if (!ensure(size)) {
            return false;
        }
        position_ += size;
        return true;
    }

private:
    bool ensure(std::size_t size)
    {
        if (failed_ || size > size_ - position_) {
            failed_ = true;
            return false;
        }
        return true;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
    bool failed_ = false;
};

}  // namespace pelko
