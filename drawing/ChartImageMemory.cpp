// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drawing/ChartImageMemory.h"

#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

// Memory is handed out in whole units of this size, so that images of nearly the same size can
// take each other's blocks; it is also the size of a large page.
constexpr std::size_t kUnit = std::size_t{2} << 20;  // bytes
// Images below this size take ordinary memory: they are cheap to make.
constexpr std::size_t kSmallImage = std::size_t{1} << 20;  // bytes
// Released blocks kept for later images, at the most (the oldest go first beyond it).
constexpr std::size_t kKeptBytes = std::size_t{128} << 20;

struct Block {
    void* Mapping = nullptr;  // what the system gave
    std::size_t Size = 0;     // bytes, a whole number of units
};

Block SystemAllocate(std::size_t size) {
#if defined(__linux__)
    void* mapping = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) {
        return {};
    }
    madvise(mapping, size, MADV_HUGEPAGE);
    return {mapping, size};
#else
    void* memory = std::malloc(size);
    return memory == nullptr ? Block{} : Block{memory, size};
#endif
}

void SystemRelease(const Block& block) {
#if defined(__linux__)
    munmap(block.Mapping, block.Size);
#else
    std::free(block.Mapping);
#endif
}

// The blocks of released chart images, by size; never destroyed, so that images that outlive
// the program's statics can still give their memory back.
class BlockStore {
  public:
    Block Take(std::size_t size) {
        {
            const std::lock_guard lock(mutex_);
            // The smallest kept block that fits, unless it is more than twice the size needed.
            const auto found = kept_.lower_bound(size);
            if (found != kept_.end() && found->first <= 2 * size) {
                const Block block = found->second.Memory;
                keptBytes_ -= block.Size;
                kept_.erase(found);
                return block;
            }
        }
        return SystemAllocate(size);
    }

    void Give(const Block& block) {
        const std::lock_guard lock(mutex_);
        kept_.emplace(block.Size, Kept{block, ++age_});
        keptBytes_ += block.Size;
        while (keptBytes_ > kKeptBytes) {
            auto oldest = kept_.begin();
            for (auto it = kept_.begin(); it != kept_.end(); ++it) {
                if (it->second.Age < oldest->second.Age) {
                    oldest = it;
                }
            }
            keptBytes_ -= oldest->second.Memory.Size;
            SystemRelease(oldest->second.Memory);
            kept_.erase(oldest);
        }
    }

  private:
    struct Kept {
        Block Memory;
        std::uint64_t Age;  // order of giving back
    };
    std::mutex mutex_;
    std::multimap<std::size_t, Kept> kept_;
    std::size_t keptBytes_ = 0;
    std::uint64_t age_ = 0;
};

BlockStore& Store() {
    static BlockStore* store = new BlockStore;
    return *store;
}

void GiveBack(void* info) {
    auto* block = static_cast<Block*>(info);
    Store().Give(*block);
    delete block;
}

}  // namespace

QImage NewChartImage(QSize size) {
    if (size.isEmpty()) {
        return QImage();
    }
    const std::size_t lineBytes = static_cast<std::size_t>(size.width()) * 4;
    const std::size_t bytes = lineBytes * static_cast<std::size_t>(size.height());
    if (bytes < kSmallImage) {
        return QImage(size, QImage::Format_RGB32);
    }
    const Block block = Store().Take((bytes + kUnit - 1) / kUnit * kUnit);
    if (block.Mapping == nullptr) {
        return QImage();
    }
    return QImage(static_cast<uchar*>(block.Mapping), size.width(), size.height(),
                  static_cast<qsizetype>(lineBytes), QImage::Format_RGB32, GiveBack,
                  new Block(block));
}
