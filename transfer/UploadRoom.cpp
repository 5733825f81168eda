#include "UploadRoom.h"

#include <limits>

namespace {
constexpr unsigned long long kMax = std::numeric_limits<unsigned long long>::max();

unsigned long long Blocks(unsigned long long bytes, unsigned long long blockSize)
{
    return bytes / blockSize + (bytes % blockSize != 0 ? 1 : 0);
}

// Servers report what they like; nothing here may wrap round.
unsigned long long Sum(unsigned long long a, unsigned long long b) { return a > kMax - b ? kMax : a + b; }
unsigned long long Product(unsigned long long a, unsigned long long b)
{
    return b != 0 && a > kMax / b ? kMax : a * b;
}
}  // namespace

UploadRoom ReckonUploadRoom(const std::optional<FilesystemSpace>& space,
                            const std::optional<unsigned long long>& oldSize, unsigned long long newSize)
{
    UploadRoom room;
    if (!space || space->blockSize == 0)
        return room;
    const unsigned long long blockSize = space->blockSize;
    const unsigned long long fileBlocks = Blocks(newSize, blockSize);
    const unsigned long long marginBlocks = 4 + Blocks(newSize / 32, blockSize);
    const unsigned long long freedBlocks = oldSize ? Blocks(*oldSize, blockSize) : 0;
    room.known = true;
    room.fits = Sum(fileBlocks, marginBlocks) <= Sum(space->freeBlocks, freedBlocks);
    room.freeBytes = Product(space->freeBlocks, blockSize);
    room.freedBytes = Product(freedBlocks, blockSize);
    room.marginBytes = Product(marginBlocks, blockSize);
    room.neededBytes = Product(Sum(fileBlocks, marginBlocks), blockSize);
    return room;
}
