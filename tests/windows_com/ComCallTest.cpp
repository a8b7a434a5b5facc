// Host calls through IDispatch, client and server in one apartment: every
// boundary type in and out, results, the property put, the host's own error
// text, hostile arrays; and how RavimoSim passes the converter's command line
// and starts it.

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include "common/host/CallCheck.h"
#include "common/host/HostOperations.h"
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

// A value of `type` that differs with `position`, at the edges of its range.
Variant sample(Common::VariantType type, int position)
{
    switch (type) {
    case Common::VariantType::I2: return Variant::i2(static_cast<std::int16_t>(-32768 + position));
    case Common::VariantType::I4: return Variant::i4(-2147483647 + position);
    case Common::VariantType::UI1: return Variant::ui1(static_cast<std::uint8_t>(255 - position));
    case Common::VariantType::UI2: return Variant::ui2(static_cast<std::uint16_t>(65535 - position));
    case Common::VariantType::UI4: return Variant::ui4(4294967295u - static_cast<unsigned>(position));
    case Common::VariantType::R8: return Variant::r8(-1e-300 * (position + 1));
    case Common::VariantType::Text: return Variant::text(L"和室 \"" + std::to_wstring(position) + L"\" \\");
    case Common::VariantType::DoubleArray: return Variant::doubles({910.5 * position, -0.0, 1e300});
    case Common::VariantType::Empty: break;
    }
    return Variant();
}

TEST_F(ComCall, EveryOperationOfTheHostCrossesWithEveryArgumentInOrder)
{
    int checked = 0;
    for (const Common::HostOperation* op : Common::allHostOperations()) {
        if (op->propertyPut) {
            continue;
        }
        const Common::Signature signature = Common::signatureOf(*op);
        Common::Arguments args;
        for (std::size_t i = 0; i < signature.args.size(); ++i) {
            const Common::ArgumentSpec& slot = signature.args[i];
            args.push_back(slot.byRef ? Argument::out(sample(slot.type, 0))
                                      : Argument::in(sample(slot.type, static_cast<int>(i))));
        }
        const Common::Arguments sent = args;
        host_->on(op->dispatchNumber, [&](Common::Arguments& received, Variant& result) {
            ASSERT_EQ(received.size(), sent.size());
            for (std::size_t i = 0; i < received.size(); ++i) {
                EXPECT_EQ(received[i].value, sent[i].value) << op->name << ", argument " << i + 1;
                EXPECT_EQ(received[i].byRef, sent[i].byRef) << op->name << ", argument " << i + 1;
                if (received[i].byRef) {
                    received[i].value = sample(received[i].value.type(), static_cast<int>(i) + 1);
                }
            }
            result = sample(op->result, 7);
        });
        Variant result;
        client_->invoke(op->dispatchNumber, args, result);
        EXPECT_EQ(result, sample(op->result, 7)) << op->name;
        for (std::size_t i = 0; i < args.size(); ++i) {
            const Variant expected = args[i].byRef ? sample(sent[i].value.type(), static_cast<int>(i) + 1) : sent[i].value;
            EXPECT_EQ(args[i].value, expected) << op->name << ", argument " << i + 1;
        }
        ++checked;
    }
    EXPECT_EQ(static_cast<std::size_t>(checked), host_->calls.size());
    EXPECT_GT(checked, 30);
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

TEST(ProgramStart, OnlyAProcessLostWhileStartingIsStartedAgain)
{
    // `failures` failed attempts with `error`, then success; how many were made.
    DWORD lastError = 0;
    const auto attemptsFor = [&lastError](int failures, DWORD error, bool& started) {
        int made = 0, heard = 0;
        started = RavimoSim::startProcess(
            [&] {
                if (++made > failures) {
                    return true;
                }
                SetLastError(error);
                return false;
            },
            3, [&] { ++heard; });
        lastError = GetLastError();
        EXPECT_EQ(heard, made - 1);
        return made;
    };
    bool started = false;
    EXPECT_EQ(attemptsFor(2, ERROR_INTERNAL_ERROR, started), 3);
    EXPECT_TRUE(started);
    EXPECT_EQ(attemptsFor(5, ERROR_INTERNAL_ERROR, started), 3);
    EXPECT_FALSE(started);
    EXPECT_EQ(lastError, static_cast<DWORD>(ERROR_INTERNAL_ERROR));  // the error still tells why
    EXPECT_EQ(attemptsFor(5, ERROR_FILE_NOT_FOUND, started), 1);
    EXPECT_FALSE(started);
}

}  // namespace
