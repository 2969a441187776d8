// The type library inside Rawlet.ocx: what a host's designer and dispatch read from it.
#include <gtest/gtest.h>
#include <olectl.h>
#include <string>
#include <vector>

#include "bstr.h"
#include "ocx.h"

namespace rawlet::test {
namespace {

using activex::Bstr;

struct Member {
    const wchar_t* name;
    MEMBERID id;
    INVOKEKIND kind;
    WORD flags;
    const wchar_t* helpString;
    DWORD helpContext;
};

// The interface in virtual-table order, each property getter before its setter.
const Member kMembers[] = {
    {L"killDocument", 0x60030003, INVOKE_FUNC, 0,
     L"Close the current queue and transmit a reset to the printer", 1030},
    {L"PrinterClose", 0x60030004, INVOKE_FUNC, 0, L"Close the printer spool and end a document", 1040},
    {L"StartDoc", 0x60030006, INVOKE_FUNC, 0, L"Begine a new Document", 1050},
    {L"PrinterName", 0x68030002, INVOKE_PROPERTYGET, 0,
     L"The name of the printer as it is into the control panel.", 1120},
    {L"PrinterName", 0x68030002, INVOKE_PROPERTYPUT, 0,
     L"The name of the printer as it is into the control panel.", 1120},
    {L"PrinterData", 0, INVOKE_PROPERTYGET, 0, L"The data that printer must print", 1100},
    {L"PrinterData", 0, INVOKE_PROPERTYPUT, 0, L"The data that printer must print", 1100},
    {L"EndDoc", 0x6003000B, INVOKE_FUNC, FUNCFLAG_FNONBROWSABLE, L"Transmit to the printer a CarigeReturn",
     1010},
    {L"EndPage", 0x6003000C, INVOKE_FUNC, 0, L"The printer close the current page", 1020},
    {L"PrinterTranslate", 0x68030001, INVOKE_PROPERTYGET, 0,
     L"When set the OCX translate the data to the local key map", 1130},
    {L"PrinterTranslate", 0x68030001, INVOKE_PROPERTYPUT, 0,
     L"When set the OCX translate the data to the local key map", 1130},
    {L"PrinterDocumentName", 0x68030000, INVOKE_PROPERTYGET, 0, L"The document name ", 1110},
    {L"PrinterDocumentName", 0x68030000, INVOKE_PROPERTYPUT, 0, L"The document name ", 1110},
    {L"About", DISPID_ABOUTBOX, INVOKE_FUNC, 0, L"About me", 1000},
};

// Asks a dual interface's dispatch description for its vtable description.
constexpr UINT kVtableHalf = static_cast<UINT>(-1);

class TypeLibrary : public testing::Test {
protected:
    void SetUp() override
    {
        library = Ocx::TypeLibrary();
        ASSERT_TRUE(library) << "no type library in the module";
    }

    ComPtr<ITypeInfo> Info(UINT index)
    {
        ComPtr<ITypeInfo> info;
        EXPECT_EQ(library->GetTypeInfo(index, info.put()), S_OK);
        return info;
    }

    struct Documentation {
        std::wstring name, helpString, helpFile;
        DWORD helpContext = 0;
    };
    static Documentation Document(ITypeInfo* info, MEMBERID id)
    {
        Bstr name, help, file;
        Documentation result;
        info->GetDocumentation(id, name.put(), help.put(), &result.helpContext, file.put());
        result.name = name.view();
        result.helpString = help.view();
        result.helpFile = file.view();
        return result;
    }

    ComPtr<ITypeLib> library;
};

TEST_F(TypeLibrary, LibraryIdentityVersionAndHelp)
{
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->guid, LIBID_Rawleter);
    EXPECT_EQ(attributes->wMajorVerNum, 17);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    EXPECT_EQ(attributes->lcid, 0u);
    EXPECT_EQ(attributes->syskind, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    EXPECT_EQ(attributes->wLibFlags & LIBFLAG_FCONTROL, LIBFLAG_FCONTROL);
    library->ReleaseTLibAttr(attributes);

    // The library's help context (1000) is checked in the resource itself: Wine's loader
    // reports the help-string context in its place.
    Bstr name, help, file;
    ASSERT_EQ(library->GetDocumentation(-1, name.put(), help.put(), nullptr, file.put()), S_OK);
    EXPECT_EQ(name.view(), L"Rawleter");
    EXPECT_EQ(help.view(), L"Rawlet an OCX that make printer to print as into the DOS environment");
    EXPECT_EQ(file.view(), L"Rawlet.hlp");
}

TEST_F(TypeLibrary, ThreeTypesInOrderWithTheirFlagsAndVersions)
{
    ASSERT_EQ(library->GetTypeInfoCount(), 3u);
    struct Expected {
        const wchar_t* name;
        GUID guid;
        TYPEKIND kind;
        WORD flags;
    };
    const Expected expected[] = {
        // The dispatch half of a dual interface; its vtable half is checked below.
        {L"_Rawlet", IID__Rawlet, TKIND_DISPATCH,
         TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE},
        {L"Rawlet", CLSID_Rawlet, TKIND_COCLASS, TYPEFLAG_FCONTROL},
        {L"__Rawlet", DIID___Rawlet, TKIND_DISPATCH,
         TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE},
    };
    for (UINT i = 0; i < 3; ++i) {
        SCOPED_TRACE(testing::Message() << "type " << i);
        auto info = Info(i);
        ASSERT_TRUE(info);
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
        EXPECT_EQ(attributes->guid, expected[i].guid);
        EXPECT_EQ(attributes->typekind, expected[i].kind);
        EXPECT_EQ(attributes->wTypeFlags, expected[i].flags) << std::hex << attributes->wTypeFlags;
        EXPECT_EQ(attributes->wMajorVerNum, 1);
        EXPECT_EQ(attributes->wMinorVerNum, 0);
        if (expected[i].kind == TKIND_COCLASS) {
            EXPECT_EQ(attributes->wTypeFlags & TYPEFLAG_FCANCREATE, 0) << "creatable by plain clients";
        }
        if (i == 2) {
            EXPECT_EQ(attributes->cFuncs, 0) << "the control raises no events";
        }
        info->ReleaseTypeAttr(attributes);
        EXPECT_EQ(Document(info.get(), MEMBERID_NIL).name, expected[i].name);
    }
}

TEST_F(TypeLibrary, TheClassImplementsTheInterfaceAndTheEventSourceByDefault)
{
    auto coclass = Info(1);
    ASSERT_TRUE(coclass);
    const std::pair<GUID, int> expected[] = {{IID__Rawlet, IMPLTYPEFLAG_FDEFAULT},
                                             {DIID___Rawlet, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE}};
    for (UINT i = 0; i < 2; ++i) {
        INT flags = 0;
        HREFTYPE reference = 0;
        ComPtr<ITypeInfo> implemented;
        ASSERT_EQ(coclass->GetImplTypeFlags(i, &flags), S_OK);
        ASSERT_EQ(coclass->GetRefTypeOfImplType(i, &reference), S_OK);
        ASSERT_EQ(coclass->GetRefTypeInfo(reference, implemented.put()), S_OK);
        TYPEATTR* attributes = nullptr;
        implemented->GetTypeAttr(&attributes);
        EXPECT_EQ(attributes->guid, expected[i].first);
        implemented->ReleaseTypeAttr(attributes);
        EXPECT_EQ(flags, expected[i].second);
    }
}

TEST_F(TypeLibrary, TheInterfaceDerivesFromTheAutomationLibrarysIDispatch)
{
    auto dispatch = Info(0);
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> vtable;
    ASSERT_EQ(dispatch->GetRefTypeOfImplType(kVtableHalf, &reference), S_OK)
        << "a dual interface has a vtable half";
    ASSERT_EQ(dispatch->GetRefTypeInfo(reference, vtable.put()), S_OK);
    ASSERT_EQ(vtable->GetRefTypeOfImplType(0, &reference), S_OK);
    ComPtr<ITypeInfo> base;
    ASSERT_EQ(vtable->GetRefTypeInfo(reference, base.put()), S_OK);
    ComPtr<ITypeLib> baseLibrary;
    UINT index = 0;
    ASSERT_EQ(base->GetContainingTypeLib(baseLibrary.put(), &index), S_OK);
    TYPEATTR* attributes = nullptr;
    base->GetTypeAttr(&attributes);
    EXPECT_EQ(attributes->guid, IID_IDispatch);
    base->ReleaseTypeAttr(attributes);
    EXPECT_EQ(Document(base.get(), MEMBERID_NIL).name, L"IDispatch");
    Bstr libraryName;
    baseLibrary->GetDocumentation(-1, libraryName.put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(libraryName.view(), L"stdole");
}

TEST_F(TypeLibrary, EveryMemberWithItsIdKindFlagsAndHelp)
{
    auto dispatch = Info(0);
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> vtable;
    ASSERT_EQ(dispatch->GetRefTypeOfImplType(kVtableHalf, &reference), S_OK);
    ASSERT_EQ(dispatch->GetRefTypeInfo(reference, vtable.put()), S_OK);
    TYPEATTR* attributes = nullptr;
    vtable->GetTypeAttr(&attributes);
    const UINT count = attributes->cFuncs;
    vtable->ReleaseTypeAttr(attributes);
    ASSERT_EQ(count, std::size(kMembers));
    vtable->GetTypeAttr(&attributes);
    EXPECT_EQ(attributes->typekind, TKIND_INTERFACE);
    EXPECT_EQ(attributes->wTypeFlags, TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE |
                                          TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE)
        << std::hex << attributes->wTypeFlags;
    vtable->ReleaseTypeAttr(attributes);

    for (UINT i = 0; i < count; ++i) {
        const Member& want = kMembers[i];
        SCOPED_TRACE(testing::Message() << "member " << i);
        FUNCDESC* function = nullptr;
        ASSERT_EQ(vtable->GetFuncDesc(i, &function), S_OK);
        EXPECT_EQ(function->memid, want.id);
        EXPECT_EQ(function->invkind, want.kind);
        EXPECT_EQ(function->wFuncFlags, want.flags);
        EXPECT_EQ(function->cParams, want.kind == INVOKE_FUNC ? 0 : 1);
        EXPECT_EQ(function->oVft / static_cast<SHORT>(sizeof(void*)), static_cast<SHORT>(7 + i))
            << "after IUnknown's three and IDispatch's four";
        const MEMBERID id = function->memid;
        vtable->ReleaseFuncDesc(function);
        const Documentation doc = Document(vtable.get(), id);
        EXPECT_EQ(doc.name, want.name);
        EXPECT_EQ(doc.helpString, want.helpString);
        EXPECT_EQ(doc.helpContext, want.helpContext);
    }
}

} // namespace
} // namespace rawlet::test
