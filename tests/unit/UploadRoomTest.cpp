// Whether an upload fits the filesystem that will hold it: sizes in whole
// blocks, the old file's blocks counted as freed, a margin of 4 blocks and
// 1/32 of the new file kept free.
#include "UploadRoom.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace {
constexpr unsigned long long KiB = 1024;
constexpr unsigned long long kMax = std::numeric_limits<unsigned long long>::max();

struct RoomCase {
    const char* name;
    std::optional<FilesystemSpace> space;
    std::optional<unsigned long long> oldSize;
    unsigned long long newSize;
    bool known;
    bool fits;
    unsigned long long neededBytes;
};

class Room : public ::testing::TestWithParam<RoomCase> {};

TEST_P(Room, Reckoning)
{
    const RoomCase& c = GetParam();
    const UploadRoom room = ReckonUploadRoom(c.space, c.oldSize, c.newSize);
    EXPECT_EQ(room.known, c.known);
    EXPECT_EQ(room.fits, c.fits);
    EXPECT_EQ(room.neededBytes, c.neededBytes);
}

// 1 MiB free in 4 KiB blocks is 256 blocks. A 2 MiB file needs 512 blocks and
// a margin of 4 + 16 blocks; a 600 KiB file 150 + 4 + 5.
const FilesystemSpace kOneMiBFree{4 * KiB, 256};

INSTANTIATE_TEST_SUITE_P(Cases, Room, ::testing::Values(
    RoomCase{"NoOldFileFits", kOneMiBFree, std::nullopt, 600 * KiB, true, true, 159 * 4 * KiB},
    RoomCase{"NoOldFileTooLarge", kOneMiBFree, std::nullopt, 2048 * KiB, true, false, 532 * 4 * KiB},
    // The old file's blocks come back when it is truncated.
    RoomCase{"LargerOldFileMakesRoom", kOneMiBFree, 1536 * KiB, 2048 * KiB, true, true, 532 * 4 * KiB},
    RoomCase{"SmallerOldFileNotEnough", kOneMiBFree, 600 * KiB, 2048 * KiB, true, false, 532 * 4 * KiB},
    // 159 blocks needed: 100 free and the old file's 59 (233 KiB rounds up
    // to 59 blocks) are exactly enough; one block less is not.
    RoomCase{"ExactFit", FilesystemSpace{4 * KiB, 100}, 233 * KiB, 600 * KiB, true, true, 159 * 4 * KiB},
    RoomCase{"OneBlockShort", FilesystemSpace{4 * KiB, 99}, 233 * KiB, 600 * KiB, true, false, 159 * 4 * KiB},
    // A byte past a block boundary takes a whole block; an empty file still
    // needs the fixed margin.
    RoomCase{"PartBlocksRoundUp", FilesystemSpace{1 * KiB, 6}, std::nullopt, 1 * KiB + 1, true, false, 7 * KiB},
    RoomCase{"EmptyFile", FilesystemSpace{1 * KiB, 4}, std::nullopt, 0, true, true, 4 * KiB},
    RoomCase{"FullFilesystem", FilesystemSpace{4 * KiB, 0}, std::nullopt, 3, true, false, 5 * 4 * KiB},
    // A server without the free-space query, or one that gives no block
    // size, cannot tell: the upload goes on.
    RoomCase{"ServerWithoutTheQuery", std::nullopt, 600 * KiB, 2048 * KiB, false, true, 0},
    RoomCase{"NoBlockSize", FilesystemSpace{0, 256}, std::nullopt, 2048 * KiB, false, true, 0},
    // Figures a server makes up must not wrap round into a fit.
    RoomCase{"HugeFreeCount", FilesystemSpace{4 * KiB, kMax}, kMax, 2048 * KiB, true, true, 532 * 4 * KiB},
    RoomCase{"HugeFile", FilesystemSpace{4 * KiB, 256}, std::nullopt, kMax, true, false, kMax}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RoomFigures, ForTheDiagnosticLine)
{
    const UploadRoom room = ReckonUploadRoom(kOneMiBFree, 600 * KiB, 2048 * KiB);
    EXPECT_EQ(room.freeBytes, 1024 * KiB);
    EXPECT_EQ(room.freedBytes, 600 * KiB);
    EXPECT_EQ(room.marginBytes, 20 * 4 * KiB);
    EXPECT_EQ(room.neededBytes, 2048 * KiB + 80 * KiB);
}
}  // namespace
