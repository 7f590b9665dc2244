// Dialog data exchange: UpdateData, CDataExchange, and the DDX_ and DDV_ functions over the
// controls' Win32 messages. A failure (text that is no number of the variable's type, a value out
// of range) tells the user in a message box, puts the focus on the control, and unwinds the rest
// of DoDataExchange, which UpdateData answers with FALSE.
// Only afxwin.h and USER calls are used here, so a Windows build can compile this file as it is.
#include <afxwin.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "afx_ddx.h"

namespace {

struct ExchangeFailed {}; // unwinds DoDataExchange to UpdateData

thread_local HWND t_lockout = nullptr; // the window whose UpdateData runs

void Tell(const std::string& text)
{
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

std::string TextOf(HWND h)
{
    const int n = ::GetWindowTextLengthA(h);
    std::string text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
    const int got = ::GetWindowTextA(h, &text[0], static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

CStringW WideTextOf(HWND h)
{
    const int n = ::GetWindowTextLengthW(h);
    CStringW text;
    const int got = ::GetWindowTextW(h, text.GetBuffer(n + 1), n + 1);
    text.ReleaseBuffer(got > 0 ? got : 0);
    return text;
}

// The text without the blanks around it.
std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A whole decimal number, optionally signed (a minus sign only for signed types), that fits T.
template <class T> bool ParseInteger(const std::string& text, T* out)
{
    const std::string t = Trimmed(text);
    if (t.empty())
        return false;
    std::size_t i = 0;
    bool negative = false;
    if (t[0] == '+' || t[0] == '-') {
        negative = t[0] == '-';
        ++i;
    }
    if (i == t.size() || (negative && !std::numeric_limits<T>::is_signed))
        return false;
    // Accumulated as a negative number for signed types, so that the minimum fits.
    using Wide = typename std::conditional<std::numeric_limits<T>::is_signed, long long, unsigned long long>::type;
    const Wide limit =
        negative ? static_cast<Wide>(std::numeric_limits<T>::min()) : static_cast<Wide>(std::numeric_limits<T>::max());
    Wide value = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9')
            return false;
        const int digit = t[i] - '0';
        if (negative) {
            if (value < (limit + digit) / 10)
                return false;
            value = value * 10 - digit;
        } else {
            if (value > (limit - static_cast<Wide>(digit)) / 10)
                return false;
            value = value * 10 + static_cast<Wide>(digit);
        }
    }
    *out = static_cast<T>(value);
    return true;
}

template <class T> bool ParseReal(const std::string& text, T* out)
{
    const std::string t = Trimmed(text);
    if (t.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size() || !std::isfinite(value) ||
        std::fabs(value) > static_cast<double>(std::numeric_limits<T>::max()))
        return false;
    *out = static_cast<T>(value);
    return true;
}

template <class T> std::string Decimal(T value)
{
    if constexpr (std::numeric_limits<T>::is_signed)
        return std::to_string(static_cast<long long>(value));
    else
        return std::to_string(static_cast<unsigned long long>(value));
}

std::string Real(double value, int digits)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
    return buffer;
}

template <class T> void ExchangeInteger(CDataExchange* pDX, int nIDC, T& value)
{
    const HWND h = pDX->PrepareEditCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        ::SetWindowTextA(h, Decimal(value).c_str());
        return;
    }
    if (!ParseInteger(TextOf(h), &value)) {
        Tell("Enter a whole number from " + Decimal(std::numeric_limits<T>::min()) + " to " +
             Decimal(std::numeric_limits<T>::max()) + ".");
        pDX->Fail();
    }
}

template <class T> void ExchangeReal(CDataExchange* pDX, int nIDC, T& value, int digits)
{
    const HWND h = pDX->PrepareEditCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        ::SetWindowTextA(h, Real(static_cast<double>(value), digits).c_str());
        return;
    }
    if (!ParseReal(TextOf(h), &value)) {
        Tell("Enter a number.");
        pDX->Fail();
    }
}

template <class T, class Show> void Validate(CDataExchange* pDX, T value, T minVal, T maxVal, Show show)
{
    // Loading leaves an out-of-range value to the user to correct.
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    Tell("Enter a value from " + show(minVal) + " to " + show(maxVal) + ".");
    pDX->Fail();
}

// The list messages of a list box or a combo box.
struct ListMessages {
    UINT getCurSel, setCurSel, getTextLen, getText, selectString, findExact;
};
const ListMessages kListBox{LB_GETCURSEL, LB_SETCURSEL, LB_GETTEXTLEN, LB_GETTEXT, LB_SELECTSTRING, LB_FINDSTRINGEXACT};
const ListMessages kComboBox{CB_GETCURSEL, CB_SETCURSEL,    CB_GETLBTEXTLEN,
                             CB_GETLBTEXT, CB_SELECTSTRING, CB_FINDSTRINGEXACT};

void ExchangeIndex(CDataExchange* pDX, int nIDC, int& index, const ListMessages& m)
{
    const HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageA(h, m.getCurSel, 0, 0));
    else
        ::SendMessageA(h, m.setCurSel, static_cast<WPARAM>(index), 0);
}

// A combo box with an edit field shows text that need not be one of its items.
bool HasEditField(HWND h, const ListMessages& m)
{
    return &m == &kComboBox && (::GetWindowLongA(h, GWL_STYLE) & 3) != CBS_DROPDOWNLIST;
}

template <class S> void ExchangeString(CDataExchange* pDX, int nIDC, S& value, const ListMessages& m, bool exact)
{
    constexpr bool wide = sizeof(typename S::XCHAR) != 1;
    const HWND h = pDX->PrepareCtrl(nIDC);
    auto send = [&](UINT msg, WPARAM wParam, LPARAM lParam) {
        return wide ? ::SendMessageW(h, msg, wParam, lParam) : ::SendMessageA(h, msg, wParam, lParam);
    };
    if (pDX->m_bSaveAndValidate) {
        if (HasEditField(h, m)) {
            if constexpr (wide)
                value = WideTextOf(h);
            else
                value = TextOf(h).c_str();
            return;
        }
        const auto index = static_cast<WPARAM>(send(m.getCurSel, 0, 0));
        const int n = static_cast<int>(send(m.getTextLen, index, 0));
        if (static_cast<int>(index) < 0 || n < 0) {
            value.Empty();
            return;
        }
        const int got = static_cast<int>(send(m.getText, index, reinterpret_cast<LPARAM>(value.GetBuffer(n + 1))));
        value.ReleaseBuffer(got > 0 ? got : 0);
        return;
    }
    const auto text = reinterpret_cast<LPARAM>(static_cast<const typename S::XCHAR*>(value));
    LRESULT found;
    if (exact) {
        found = send(m.findExact, static_cast<WPARAM>(-1), text);
        if (found >= 0)
            send(m.setCurSel, static_cast<WPARAM>(found), 0);
    } else {
        found = send(m.selectString, static_cast<WPARAM>(-1), text);
    }
    if (found < 0 && HasEditField(h, m)) {
        if constexpr (wide)
            ::SetWindowTextW(h, value);
        else
            ::SetWindowTextA(h, value);
    }
}

template <class S> void MaxChars(CDataExchange* pDX, const S& value, int nChars)
{
    if (!pDX->m_bSaveAndValidate) {
        // Loading limits what the user can type.
        if (pDX->m_bEditLastControl && pDX->m_pDlgWnd && nChars > 0)
            ::SendDlgItemMessageA(pDX->m_pDlgWnd->m_hWnd, static_cast<int>(pDX->m_idLastControl), EM_LIMITTEXT,
                                  static_cast<WPARAM>(nChars), 0);
        return;
    }
    if (value.GetLength() > nChars) {
        Tell("Enter no more than " + std::to_string(nChars) + " characters.");
        pDX->Fail();
    }
}

} // namespace

bool afx_ddx::NotificationsLockedOut(HWND hwnd)
{
    return hwnd && hwnd == t_lockout;
}

// --- UpdateData and CDataExchange -----------------------------------------------------------------

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return FALSE;
    CDataExchange dx(this, bSaveAndValidate);
    const HWND outer = t_lockout;
    t_lockout = m_hWnd;
    BOOL ok = TRUE;
    try {
        DoDataExchange(&dx);
    } catch (const ExchangeFailed&) {
        ok = FALSE;
    }
    t_lockout = outer;
    return ok;
}

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    const HWND h = m_pDlgWnd ? ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC) : nullptr;
    m_idLastControl = static_cast<UINT>(nIDC);
    m_bEditLastControl = FALSE;
    if (!h)
        throw ExchangeFailed{}; // the dialog has no such control: nothing to exchange with
    return h;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    const HWND h = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return h;
}

void CDataExchange::Fail()
{
    // Saving: the user corrects the control that failed, its text selected when it is an edit.
    if (m_bSaveAndValidate && m_pDlgWnd) {
        if (const HWND h = ::GetDlgItem(m_pDlgWnd->m_hWnd, static_cast<int>(m_idLastControl))) {
            ::SetFocus(h);
            if (m_bEditLastControl)
                ::SendMessageA(h, EM_SETSEL, 0, -1);
        }
    }
    throw ExchangeFailed{};
}

// --- DDX ------------------------------------------------------------------------------------------

void DDX_Text(CDataExchange* pDX, int nIDC, CStringA& value)
{
    const HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = TextOf(h).c_str();
    else
        ::SetWindowTextA(h, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CStringW& value)
{
    const HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = WideTextOf(h);
    else
        ::SetWindowTextW(h, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, LPSTR value, int nMaxLen)
{
    const HWND h = pDX->PrepareEditCtrl(nIDC);
    if (!value || nMaxLen <= 0)
        return;
    if (pDX->m_bSaveAndValidate)
        ::GetWindowTextA(h, value, nMaxLen);
    else
        ::SetWindowTextA(h, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, LPWSTR value, int nMaxLen)
{
    const HWND h = pDX->PrepareEditCtrl(nIDC);
    if (!value || nMaxLen <= 0)
        return;
    if (pDX->m_bSaveAndValidate)
        ::GetWindowTextW(h, value, nMaxLen);
    else
        ::SetWindowTextW(h, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    ExchangeInteger(pDX, nIDC, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    ExchangeInteger(pDX, nIDC, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, long& value)
{
    ExchangeInteger(pDX, nIDC, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, unsigned long& value)
{
    ExchangeInteger(pDX, nIDC, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, short& value)
{
    ExchangeInteger(pDX, nIDC, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value)
{
    ExchangeInteger(pDX, nIDC, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, long long& value)
{
    ExchangeInteger(pDX, nIDC, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, unsigned long long& value)
{
    ExchangeInteger(pDX, nIDC, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value)
{
    ExchangeReal(pDX, nIDC, value, DBL_DIG);
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value)
{
    ExchangeReal(pDX, nIDC, value, FLT_DIG);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    const HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageA(h, BM_GETCHECK, 0, 0));
        return;
    }
    if (value < BST_UNCHECKED || value > BST_INDETERMINATE)
        value = BST_UNCHECKED; // no such state
    ::SendMessageA(h, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    const HWND first = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    // The group runs from nIDC to the next control with WS_GROUP; only radio buttons count.
    int index = 0;
    for (HWND h = first; h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (h != first && (::GetWindowLongA(h, GWL_STYLE) & WS_GROUP))
            break;
        if (!(::SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
            continue;
        if (pDX->m_bSaveAndValidate) {
            if (::SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED && value < 0)
                value = index;
        } else {
            ::SendMessageA(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd)
        return; // bound already (the first UpdateData did it)
    const HWND h = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(h))
        pDX->Fail(); // another object has the control
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    ExchangeIndex(pDX, nIDC, index, kListBox);
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    ExchangeIndex(pDX, nIDC, index, kComboBox);
}

void DDX_LBString(CDataExchange* pDX, int nIDC, CStringA& value)
{
    ExchangeString(pDX, nIDC, value, kListBox, false);
}

void DDX_LBString(CDataExchange* pDX, int nIDC, CStringW& value)
{
    ExchangeString(pDX, nIDC, value, kListBox, false);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CStringA& value)
{
    ExchangeString(pDX, nIDC, value, kComboBox, false);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CStringW& value)
{
    ExchangeString(pDX, nIDC, value, kComboBox, false);
}

void DDX_LBStringExact(CDataExchange* pDX, int nIDC, CStringA& value)
{
    ExchangeString(pDX, nIDC, value, kListBox, true);
}

void DDX_LBStringExact(CDataExchange* pDX, int nIDC, CStringW& value)
{
    ExchangeString(pDX, nIDC, value, kListBox, true);
}

void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CStringA& value)
{
    ExchangeString(pDX, nIDC, value, kComboBox, true);
}

void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CStringW& value)
{
    ExchangeString(pDX, nIDC, value, kComboBox, true);
}

// --- DDV ------------------------------------------------------------------------------------------

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    Validate(pDX, value, minVal, maxVal, Decimal<int>);
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
    Validate(pDX, value, minVal, maxVal, Decimal<UINT>);
}

void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal)
{
    Validate(pDX, value, minVal, maxVal, Decimal<long>);
}

void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal)
{
    Validate(pDX, value, minVal, maxVal, Decimal<DWORD>);
}

void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal)
{
    Validate(pDX, value, minVal, maxVal, Decimal<short>);
}

void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal)
{
    Validate(pDX, value, minVal, maxVal, Decimal<BYTE>);
}

void DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal)
{
    Validate(pDX, value, minVal, maxVal, [](double v) { return Real(v, DBL_DIG); });
}

void DDV_MinMaxFloat(CDataExchange* pDX, const float& value, float minVal, float maxVal)
{
    Validate(pDX, value, minVal, maxVal, [](float v) { return Real(static_cast<double>(v), FLT_DIG); });
}

void DDV_MaxChars(CDataExchange* pDX, const CStringA& value, int nChars)
{
    MaxChars(pDX, value, nChars);
}

void DDV_MaxChars(CDataExchange* pDX, const CStringW& value, int nChars)
{
    MaxChars(pDX, value, nChars);
}
