#pragma once
// Whether an upload fits the filesystem that will hold it, reckoned before
// anything on the target is touched: the upload truncates the old file first,
// and a new file that then does not fit would leave the controller with
// neither program.
#include <optional>

// What the server says of that filesystem (statvfs@openssh.com).
struct FilesystemSpace {
    unsigned long long blockSize;   // f_frsize: the unit of the block counts
    unsigned long long freeBlocks;  // f_bfree: root may use the reserved blocks too
};

struct UploadRoom {
    // False when the server could not tell: the upload then goes on unchecked.
    bool known = false;
    bool fits = true;
    unsigned long long freeBytes = 0;     // free now
    unsigned long long freedBytes = 0;    // what truncating the old file frees
    unsigned long long neededBytes = 0;   // the new file and the margin
    unsigned long long marginBytes = 0;
};

// Kept free besides the new file's own blocks: 4 blocks (the inode, the
// directory entry, the first indirect or extent block) and 1/32 of the new
// file (the rest of its indirect blocks, and the node headers and the
// estimated free space of the flash filesystems, which are within 2 %).
// Sizes are whole blocks: a file of one byte takes a block.
//   space:   nullopt when the server has no free-space query
//   oldSize: nullopt when no regular file of that name is there
UploadRoom ReckonUploadRoom(const std::optional<FilesystemSpace>& space,
                            const std::optional<unsigned long long>& oldSize, unsigned long long newSize);
