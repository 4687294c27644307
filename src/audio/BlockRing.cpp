#include "audio/BlockRing.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <new>
#include <sstream>
#include <string>

namespace orvel {

BlockRing::BlockRing(std::size_t capacity) {
    if (capacity == 0) {
        return;
    }
    // Not filled: touching a large ring up front would commit all of its pages at once.
    m_buffer.reset(new (std::nothrow) std::uint8_t[capacity]);
    if (m_buffer) {
        m_capacity = capacity;
    }
}

std::size_t BlockRing::append(const std::uint8_t* data, std::size_t bytes) {
    std::lock_guard lock(m_mutex);
    if (m_capacity == 0) {
        m_dropped += bytes;
        return 0;
    }
    const std::size_t n = std::min(bytes, m_capacity - m_fill);
    m_dropped += bytes - n;
    const std::size_t first = std::min(n, m_capacity - m_write);
    std::memcpy(m_buffer.get() + m_write, data, first);
    std::memcpy(m_buffer.get(), data + first, n - first);
    m_write = (m_write + n) % m_capacity;
    m_fill += n;
    return n;
}

std::size_t BlockRing::take(std::uint8_t* dest, std::size_t bytes) {
    bool signal = false;
    std::size_t n = 0;
    {
        std::lock_guard lock(m_mutex);
        if (m_fill == 0) {
            return 0;
        }
        n = std::min(bytes, m_fill);
        const std::size_t first = std::min(n, m_capacity - m_read);
        std::memcpy(dest, m_buffer.get() + m_read, first);
        std::memcpy(dest + first, m_buffer.get(), n - first);
        m_read = (m_read + n) % m_capacity;
        m_fill -= n;
        if (m_fill == 0) {
            m_read = 0;
            m_write = 0;
        }
        if (m_lowWaterArmed && m_capacity - m_fill > m_lowWaterThreshold) {
            m_lowWaterArmed = false;
            signal = true;
        }
    }
    if (signal) {
        m_lowWaterSignal.notify_all();
    }
    return n;
}

std::size_t BlockRing::fill() const {
    std::lock_guard lock(m_mutex);
    return m_fill;
}

std::size_t BlockRing::freeSpace() const {
    std::lock_guard lock(m_mutex);
    return m_capacity - m_fill;
}

std::uint64_t BlockRing::droppedBytes() const {
    std::lock_guard lock(m_mutex);
    return m_dropped;
}

void BlockRing::armLowWater(std::size_t freeThreshold) {
    std::lock_guard lock(m_mutex);
    m_lowWaterThreshold = freeThreshold;
    m_lowWaterArmed = m_capacity - m_fill <= freeThreshold;
}

bool BlockRing::waitLowWater(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_lowWaterSignal.wait_for(lock, timeout, [this] { return !m_lowWaterArmed; });
}

std::size_t ringCapacity(std::size_t base, std::uint64_t availableMemory, std::size_t upperBound) {
    std::uint64_t size = 0;
    if (availableMemory >= base) {
        size = std::max<std::uint64_t>(base, availableMemory / 2);
    } else if (availableMemory > base / 2) {
        size = base / 2;
    }
    return static_cast<std::size_t>(std::min<std::uint64_t>(size, std::max(upperBound, base)));
}

std::uint64_t availablePhysicalMemory() {
    std::ifstream meminfo("/proc/meminfo");
    std::string line;
    while (std::getline(meminfo, line)) {
        if (line.rfind("MemAvailable:", 0) == 0) {
            std::istringstream fields(line.substr(13));
            std::uint64_t kib = 0;
            if (fields >> kib) {
                return kib * 1024;
            }
        }
    }
    return 0;
}

}  // namespace orvel
