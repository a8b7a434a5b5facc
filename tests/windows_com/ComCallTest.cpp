// Host calls through IDispatch, client and server in one apartment: every
// boundary type in and out, results, the property put, the host's own error
// text, hostile arrays; and how RavimoSim passes the converter's command line.

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include "platform/windows/com/ComApartment.h"
#include "platform/windows/com/DispatchClient.h"
#include "platform/windows/com/VariantConversion.h"
#include "ravimosim/DispatchServer.h"
#include "ravimosim/ProgramRunner.h"
#include "support/ScriptedHost.h"

namespace {

using Common::Argument;
using Common::Variant;

class ComCall : public ::testing::Test {
protected:
    ComCall()
    {
        server_ = new RavimoSim::DispatchServer(host_);
        server_->AddRef();  // the client's reference
        client_ = std::make_unique<WinCom::DispatchClient>(server_);
    }
    ~ComCall() override
    {
        client_.reset();
        server_->Release();
    }

    WinCom::ComApartment apartment_;
    std::shared_ptr<TestSupport::ScriptedHost> host_ = std::make_shared<TestSupport::ScriptedHost>();
    IDispatch* server_ = nullptr;
    std::unique_ptr<WinCom::DispatchClient> client_;
};

TEST_F(ComCall, EveryTypeCrossesInAndOutInCallerOrder)
{
    const std::vector<double> outline = {0, 0, 910.5, 0, 910.5, -1820};
    host_->on(73, [&](Common::Arguments& args, Variant& result) {
        ASSERT_EQ(args.size(), 9u);
        EXPECT_EQ(args[0].value, Variant::i2(-7));
        EXPECT_EQ(args[1].value, Variant::i4(-70000));
        EXPECT_EQ(args[2].value, Variant::ui1(255));
        EXPECT_EQ(args[3].value, Variant::ui2(65535));
        EXPECT_EQ(args[4].value, Variant::ui4(4000000000u));
        EXPECT_EQ(args[5].value, Variant::r8(-0.125));
        EXPECT_EQ(args[6].value, Variant::text(L"和室 \"8\""));
        EXPECT_EQ(args[7].value, Variant::doubles(outline));
        EXPECT_FALSE(args[0].byRef);
        EXPECT_TRUE(args[8].byRef);
        args[8].value = Variant::doubles({1, 2});
        result = Variant::i4(1);
    });
    Common::Arguments args = {Argument::in(Variant::i2(-7)), Argument::in(Variant::i4(-70000)),
                              Argument::in(Variant::ui1(255)), Argument::in(Variant::ui2(65535)),
                              Argument::in(Variant::ui4(4000000000u)), Argument::in(Variant::r8(-0.125)),
                              Argument::in(Variant::text(L"和室 \"8\"")), Argument::in(Variant::doubles(outline)),
                              Argument::out(Variant::doubles({}))};
    Variant result;
    client_->invoke(73, args, result);
    EXPECT_EQ(result, Variant::i4(1));
    EXPECT_EQ(args[8].value, Variant::doubles({1, 2}));
    EXPECT_EQ(args[0].value, Variant::i2(-7)) << "inputs stay as they were";

    host_->on(76, [](Common::Arguments& args, Variant& result) {
        args[0].value = Variant::i2(-2);
        args[1].value = Variant::i4(-2000000000);
        args[2].value = Variant::ui1(200);
        args[3].value = Variant::ui2(60000);
        args[4].value = Variant::ui4(4294967295u);
        args[5].value = Variant::r8(1e-300);
        args[6].value = Variant::text(L"C:\\部品\\窓.m3d");
        args[7].value = Variant::doubles({});
        result = Variant::text(L"Ver.8.10");
    });
    Common::Arguments outs = {Argument::out(Variant::i2(0)),  Argument::out(Variant::i4(0)),
                              Argument::out(Variant::ui1(0)), Argument::out(Variant::ui2(0)),
                              Argument::out(Variant::ui4(0)), Argument::out(Variant::r8(0)),
                              Argument::out(Variant::text(L"prepared")), Argument::out(Variant::doubles({5}))};
    client_->invoke(76, outs, result);
    EXPECT_EQ(outs[0].value, Variant::i2(-2));
    EXPECT_EQ(outs[1].value, Variant::i4(-2000000000));
    EXPECT_EQ(outs[2].value, Variant::ui1(200));
    EXPECT_EQ(outs[3].value, Variant::ui2(60000));
    EXPECT_EQ(outs[4].value, Variant::ui4(4294967295u));
    EXPECT_EQ(outs[5].value, Variant::r8(1e-300));
    EXPECT_EQ(outs[6].value, Variant::text(L"C:\\部品\\窓.m3d"));
    EXPECT_EQ(outs[7].value, Variant::doubles({}));
    EXPECT_EQ(result, Variant::text(L"Ver.8.10"));

    host_->on(98, [](Common::Arguments&, Variant&) {});
    Common::Arguments none;
    client_->invoke(98, none, result);
    EXPECT_TRUE(result.isEmpty());
}

TEST_F(ComCall, PropertyPutAndHostErrorsKeepTheHostsWords)
{
    client_->putProperty(179, Variant::ui2(1));
    ASSERT_EQ(host_->calls.size(), 1u);
    EXPECT_TRUE(host_->calls[0].put);
    EXPECT_EQ(host_->calls[0].args[0].value, Variant::ui2(1));

    host_->on(64, [](Common::Arguments&, Variant&) { throw Common::HostError(64, "図面が閉じられています"); });
    Common::Arguments none;
    Variant result = Variant::i4(42);
    try {
        client_->invoke(64, none, result);
        FAIL() << "no error";
    } catch (const Common::HostError& e) {
        EXPECT_EQ(e.dispatchNumber(), 64);
        EXPECT_STREQ(e.what(), "図面が閉じられています");
    }
    EXPECT_EQ(result, Variant::i4(42)) << "a failed call leaves the result alone";
}

TEST_F(ComCall, HostileArraysAreRefusedWithAMessage)
{
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    SAFEARRAY* square = SafeArrayCreate(VT_R8, 2, bounds);
    EXPECT_THROW(WinCom::readDoubleArray(square), WinCom::VariantTypeError);
    SAFEARRAY* texts = SafeArrayCreateVector(VT_BSTR, 0, 1);
    EXPECT_THROW(WinCom::readDoubleArray(texts), WinCom::VariantTypeError);
    SafeArrayDestroy(texts);

    // A two-dimensional array handed to the host: refused before the host
    // sees the call, with the argument's number.
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_ARRAY | VT_R8;
    argument.parray = square;
    DISPPARAMS params{&argument, nullptr, 1, 0};
    EXCEPINFO info{};
    UINT bad = 99;
    EXPECT_EQ(server_->Invoke(37, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, &info, &bad), DISP_E_EXCEPTION);
    EXPECT_EQ(bad, 0u);
    ASSERT_NE(info.bstrDescription, nullptr);
    EXPECT_NE(std::wstring(info.bstrDescription).find(L"argument 1"), std::wstring::npos) << info.bstrDescription;
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
    VariantClear(&argument);
    EXPECT_TRUE(host_->calls.empty());
}

TEST(ProgramCommandLine, ArgumentsSurviveTheSplitAndWindowIsReplaced)
{
    const std::vector<std::wstring> arguments = {
        L"{window}", L"plain", L"", L"two words", L"C:\\Program Files\\", L"say \"hi\"", L"a\\\\\"b", L"\\\\server\\x\\",
        L"間取り 1.xml", L"--x={window}{window}"};
    const std::vector<std::wstring> passed = RavimoSim::withWindow(arguments, -5001);
    EXPECT_EQ(passed[0], L"-5001");
    EXPECT_EQ(passed[9], L"--x=-5001-5001");
    std::wstring line = L"prog.exe";
    for (const std::wstring& a : passed) {
        line += L" " + RavimoSim::quoteArgument(a);
    }
    int count = 0;
    wchar_t** split = CommandLineToArgvW(line.c_str(), &count);
    ASSERT_NE(split, nullptr);
    ASSERT_EQ(count, static_cast<int>(passed.size()) + 1);
    for (std::size_t i = 0; i < passed.size(); ++i) {
        EXPECT_EQ(std::wstring(split[i + 1]), passed[i]) << "argument " << i;
    }
    LocalFree(split);
}

}  // namespace
