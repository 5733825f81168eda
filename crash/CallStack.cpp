#include "CrashReport.h"

#include "FrameWalk.h"

#include <cstring>

namespace {
// The faulted process's own memory.
class CProcessMemory : public IStackMemory {
public:
    bool IsWritable(uintptr_t address, size_t size) const override
    {
        return !::IsBadWritePtr(reinterpret_cast<void*>(address), size);
    }
    uint64_t ReadWord(uintptr_t address, size_t size) const override
    {
        uint64_t word = 0;
        std::memcpy(&word, reinterpret_cast<const void*>(address), size);
        return word;
    }
};

// One report line per frame, its pc resolved to module, section and offset.
class CStackLines : public IFrameSink {
public:
    void Frame(uintptr_t pc, uintptr_t frame) override
    {
        char szModule[MAX_PATH] = "";
        DWORD section = 0;
        DWORD offset = 0;
        LocateAddress(reinterpret_cast<const void*>(pc), szModule, sizeof szModule, section, offset);
#ifdef _WIN64
        ReportPrintf("%08X%08X  %08X%08X  %04X:%08X %s\r\n", static_cast<DWORD>(pc >> 32), static_cast<DWORD>(pc),
                     static_cast<DWORD>(frame >> 32), static_cast<DWORD>(frame), section, offset, szModule);
#else
        ReportPrintf("%08X  %08X  %04X:%08X %s\r\n", pc, frame, section, offset, szModule);
#endif
    }
};

#ifdef _WIN64
// The platform's unwinder, over a copy of the faulted thread's context.
class CContextUnwinder : public IUnwinder {
public:
    CContextUnwinder(const CONTEXT& context, const IStackMemory& memory) : m_context(context), m_memory(memory) {}

    bool Unwind(uintptr_t& pc, uintptr_t& stack) override
    {
        DWORD64 imageBase = 0;
        PRUNTIME_FUNCTION function = ::RtlLookupFunctionEntry(m_context.Rip, &imageBase, nullptr);
        if (function) {
            PVOID handlerData = nullptr;
            DWORD64 establisherFrame = 0;
            ::RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, m_context.Rip, function, &m_context, &handlerData,
                               &establisherFrame, nullptr);
        } else {
            // Code without unwind data (a leaf function, or a call through a
            // bad pointer) has the return address on top of the stack.
            m_context.Rip = m_memory.ReadWord(m_context.Rsp, 8);
            m_context.Rsp += 8;
        }
        pc = m_context.Rip;
        stack = m_context.Rsp;
        return true;
    }

private:
    CONTEXT m_context;
    const IStackMemory& m_memory;
};
#endif
}  // namespace

void WriteCallStack(const CONTEXT& context)
{
    CProcessMemory memory;
    CStackLines lines;
    ReportPrintf("\r\nCall stack:\r\n");
#ifdef _WIN64
    ReportPrintf("Address           Frame             Logical addr  Module\r\n");
    CContextUnwinder unwinder(context, memory);
    WalkUnwoundStack(context.Rip, context.Rsp, memory, unwinder, lines);
#else
    ReportPrintf("Address   Frame     Logical addr  Module\r\n");
    WalkFramePointerChain<DWORD>(context.Eip, context.Ebp, memory, lines);
#endif
}
