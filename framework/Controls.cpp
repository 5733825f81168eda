#include "Controls.h"

#include <vector>

std::string CComboBox::GetLBText(int index) const
{
    const LRESULT length = ::SendMessageA(m_hWnd, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR)
        return std::string();
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    ::SendMessageA(m_hWnd, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return std::string(text.data());
}
