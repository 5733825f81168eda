#pragma once
// Walking a faulted thread's call stack. The walks see memory only through
// IStackMemory and report each frame to IFrameSink, so they run just as well
// over a made-up stack as over the faulted thread's own.
#include <cstddef>
#include <cstdint>

class IStackMemory {
public:
    virtual bool IsWritable(uintptr_t address, size_t size) const = 0;
    // The little-endian word of `size` bytes (4 or 8) at `address`.
    virtual uint64_t ReadWord(uintptr_t address, size_t size) const = 0;

protected:
    ~IStackMemory() = default;
};

class IFrameSink {
public:
    virtual void Frame(uintptr_t pc, uintptr_t frame) = 0;

protected:
    ~IFrameSink() = default;
};

// Follows the chain of saved frame pointers that 32-bit x86 code keeps when it
// is built with frame pointers: at each frame lie the caller's frame pointer
// and, one word above, the return address. A frame's line is always written
// before its memory is looked at. The walk ends when the frame's two words are
// not writable memory, or when the caller's frame is not word-aligned, does
// not lie strictly above the current one (so a looping chain cannot run
// forever), or is not writable memory itself.
template <typename Word>
void WalkFramePointerChain(Word pc, Word frame, const IStackMemory& memory, IFrameSink& sink)
{
    const size_t pair = 2 * sizeof(Word);
    for (;;) {
        sink.Frame(pc, frame);
        if (!memory.IsWritable(frame, pair))
            return;
        const Word nextPc = static_cast<Word>(memory.ReadWord(frame + sizeof(Word), sizeof(Word)));
        const Word nextFrame = static_cast<Word>(memory.ReadWord(frame, sizeof(Word)));
        if ((nextFrame & 3) != 0 || nextFrame <= frame || !memory.IsWritable(nextFrame, pair))
            return;
        pc = nextPc;
        frame = nextFrame;
    }
}

// Moves a frame (pc and stack pointer) to its caller's, the way the platform
// unwinds; false when it cannot.
class IUnwinder {
public:
    virtual bool Unwind(uintptr_t& pc, uintptr_t& stack) = 0;

protected:
    ~IUnwinder() = default;
};

// x86-64 code keeps no usable frame-pointer chain (GCC points the frame
// register into the middle of the locals), so each caller is found by
// unwinding, and a frame is named by its stack pointer. The walk ends when the
// stack word is not writable memory, when unwinding fails or gives a null
// return address, or when the caller's stack pointer is not 8-byte aligned,
// not strictly above the current one, or not writable memory.
inline void WalkUnwoundStack(uintptr_t pc, uintptr_t stack, const IStackMemory& memory, IUnwinder& unwinder,
                             IFrameSink& sink)
{
    for (;;) {
        sink.Frame(pc, stack);
        if (!memory.IsWritable(stack, 8))
            return;
        uintptr_t nextPc = pc;
        uintptr_t nextStack = stack;
        if (!unwinder.Unwind(nextPc, nextStack))
            return;
        if (nextPc == 0 || (nextStack & 7) != 0 || nextStack <= stack || !memory.IsWritable(nextStack, 8))
            return;
        pc = nextPc;
        stack = nextStack;
    }
}
