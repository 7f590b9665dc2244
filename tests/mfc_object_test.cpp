// CObject's run-time classes and MFC's debug-build diagnostics (built here with _DEBUG, as a
// program's debug configuration is).
#ifndef _DEBUG
#define _DEBUG
#endif
#include <gtest/gtest.h>

#include <afxwin.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

class CShape : public CObject {
    DECLARE_DYNAMIC(CShape)
public:
    int sides = 0;
    void AssertValid() const override
    {
        CObject::AssertValid();
        ASSERT(sides >= 0);
    }
};

class CSquare : public CShape {
    DECLARE_DYNCREATE(CSquare)
public:
    CSquare() { sides = 4; }
};

class CSavedSquare : public CSquare {
    DECLARE_SERIAL(CSavedSquare)
};

class CGameView : public CWnd {
    DECLARE_DYNCREATE(CGameView)
};

IMPLEMENT_DYNAMIC(CShape, CObject)
IMPLEMENT_DYNCREATE(CSquare, CShape)
IMPLEMENT_SERIAL(CSavedSquare, CSquare, 3)
IMPLEMENT_DYNCREATE(CGameView, CWnd)

// MFC: IsKindOf is true for the object's own class and every base up to CObject, false for
// unrelated and derived classes; the framework's classes have their own information (MSDN
// CObject::IsKindOf, RUNTIME_CLASS).
TEST(RuntimeClass, IsKindOfFollowsTheClassChain)
{
    CSquare square;
    CSavedSquare saved;
    CGameView view;
    const struct {
        const CObject* object;
        CRuntimeClass* cls;
        bool kind;
    } cases[] = {
        {&square, RUNTIME_CLASS(CSquare), true},     {&square, RUNTIME_CLASS(CShape), true},
        {&square, RUNTIME_CLASS(CObject), true},     {&square, RUNTIME_CLASS(CSavedSquare), false},
        {&square, RUNTIME_CLASS(CWnd), false},       {&saved, RUNTIME_CLASS(CShape), true},
        {&view, RUNTIME_CLASS(CWnd), true},          {&view, RUNTIME_CLASS(CCmdTarget), true},
        {&view, RUNTIME_CLASS(CFrameWnd), false},    {&view, RUNTIME_CLASS(CShape), false},
        {&square, nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.object->GetRuntimeClass()->m_lpszClassName) + " kind of " +
                     (c.cls ? c.cls->m_lpszClassName : "null"));
        EXPECT_EQ(c.kind, c.object->IsKindOf(c.cls) != FALSE);
    }
    EXPECT_TRUE(RUNTIME_CLASS(CFrameWnd)->IsDerivedFrom(RUNTIME_CLASS(CWnd)));
    EXPECT_TRUE(RUNTIME_CLASS(CWinApp)->IsDerivedFrom(RUNTIME_CLASS(CWinThread)));
    EXPECT_STREQ("CSquare", square.GetRuntimeClass()->m_lpszClassName);
    EXPECT_EQ(static_cast<int>(sizeof(CSquare)), RUNTIME_CLASS(CSquare)->m_nObjectSize);
}

// MFC: DYNCREATE and SERIAL classes can be made from their information or their name, DYNAMIC
// ones cannot; only SERIAL ones are serializable, with the schema given (MSDN
// CRuntimeClass::CreateObject, FromName; CObject::IsSerializable).
TEST(RuntimeClass, CreateObjectByClassAndByName)
{
    std::unique_ptr<CObject> made(RUNTIME_CLASS(CSquare)->CreateObject());
    ASSERT_NE(nullptr, made);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CSquare)));
    EXPECT_EQ(4, static_cast<CSquare*>(made.get())->sides);
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CShape)->CreateObject());

    std::unique_ptr<CObject> byName(CRuntimeClass::CreateObject("CSavedSquare"));
    ASSERT_NE(nullptr, byName);
    EXPECT_EQ(RUNTIME_CLASS(CSavedSquare), byName->GetRuntimeClass());
    EXPECT_TRUE(byName->IsSerializable());
    EXPECT_FALSE(made->IsSerializable());
    EXPECT_EQ(3u, RUNTIME_CLASS(CSavedSquare)->m_wSchema);

    EXPECT_EQ(RUNTIME_CLASS(CGameView), CRuntimeClass::FromName(L"CGameView"));
    EXPECT_EQ(RUNTIME_CLASS(CFrameWnd), CRuntimeClass::FromName("CFrameWnd"));
    EXPECT_EQ(nullptr, CRuntimeClass::FromName("CNoSuchClass"));
    EXPECT_EQ(nullptr, CRuntimeClass::FromName(static_cast<LPCSTR>(nullptr)));
    EXPECT_EQ(nullptr, CRuntimeClass::CreateObject("CShape"));

    std::unique_ptr<CObject> wnd(RUNTIME_CLASS(CGameView)->CreateObject());
    ASSERT_NE(nullptr, wnd);
    EXPECT_TRUE(wnd->IsKindOf(RUNTIME_CLASS(CWnd)));
}

// MFC debug builds: ASSERT and VERIFY stop the program when false and report file and line;
// ASSERT_VALID runs the object's AssertValid and refuses a null pointer; ASSERT_KINDOF checks the
// class; VERIFY evaluates its expression once (MSDN ASSERT, VERIFY, ASSERT_VALID, ASSERT_KINDOF).
TEST(DebugDiagnostics, AssertionsStopWithFileAndLine)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    int evaluated = 0;
    VERIFY(++evaluated == 1);
    EXPECT_EQ(1, evaluated);
    ASSERT(evaluated == 1);
    CSquare square;
    ASSERT_VALID(&square);
    ASSERT_KINDOF(CShape, &square);

    EXPECT_DEATH(ASSERT(evaluated == 2), "mfc_object_test.cpp.*: assertion failed");
    EXPECT_DEATH(VERIFY(evaluated == 0), "assertion failed");
    square.sides = -1;
    EXPECT_DEATH(ASSERT_VALID(&square), "assertion failed");
    EXPECT_DEATH(ASSERT_VALID(static_cast<CShape*>(nullptr)), "assertion failed");
    EXPECT_DEATH(ASSERT_KINDOF(CWnd, &square), "assertion failed");
}

// DEBUG_NEW allocates as new does, so `#define new DEBUG_NEW` leaves a program working.
TEST(DebugDiagnostics, DebugNewAllocates)
{
    int* one = DEBUG_NEW int(7);
    int* many = DEBUG_NEW int[3]{1, 2, 3};
    EXPECT_EQ(7, *one);
    EXPECT_EQ(3, many[2]);
    delete one;
    delete[] many;
}

#ifndef _WIN32 // the debug output is standard error here, the debugger on Windows
// TRACE formats as CString::Format does; TRACE0 writes its text as it is; Dump and afxDump write
// the class name and the values given.
TEST(DebugDiagnostics, TraceAndDumpReachTheDebugOutput)
{
    CSquare square;
    testing::internal::CaptureStderr();
    TRACE("x=%d %s\n", 5, "five");
    TRACE(L"w=%s\n", L"wide");
    TRACE0("plain %d\n");
    TRACE2("%d+%d\n", 1, 2);
    TRACE1("name=%s\n", CString("Ada"));
    afxDump << "n=" << 12 << " " << &square << " " << CStringW(L"\u00e9") << "\n";
    const std::string out = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, out.find("x=5 five\n")) << out;
    EXPECT_NE(std::string::npos, out.find("w=wide\n")) << out;
    EXPECT_NE(std::string::npos, out.find("plain %d\n")) << out;
    EXPECT_NE(std::string::npos, out.find("1+2\n")) << out;
    EXPECT_NE(std::string::npos, out.find("name=Ada\n")) << out;
    EXPECT_NE(std::string::npos, out.find("n=12 a CSquare at $")) << out;
    EXPECT_NE(std::string::npos, out.find("\xC3\xA9\n")) << out;
}
#endif

} // namespace
