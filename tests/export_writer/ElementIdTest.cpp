#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "exporter/writer/Guid.h"

namespace {

// 8-4-4-4-12 upper-case hexadecimal digits, version 4, RFC 4122 variant.
bool wellFormed(const std::wstring& id)
{
    if (id.size() != 36) {
        return false;
    }
    for (std::size_t i = 0; i < id.size(); ++i) {
        const wchar_t c = id[i];
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != L'-') {
                return false;
            }
        } else if (!((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F'))) {
            return false;
        }
    }
    return id[14] == L'4' && std::wstring(L"89AB").find(id[19]) != std::wstring::npos;
}

// The generator's bytes are fetched for many identifiers at once: a few
// thousand identifiers cross many batch boundaries, in two threads at once,
// and none may repeat or lose its version and variant.
TEST(ElementIdTest, DistinctAndWellFormedAcrossBatches)
{
    constexpr int kPerThread = 3000;
    std::vector<std::wstring> a, b;
    std::thread other([&] {
        for (int i = 0; i < kPerThread; ++i) {
            b.push_back(Exporter::newElementId());
        }
    });
    for (int i = 0; i < kPerThread; ++i) {
        a.push_back(Exporter::newElementId());
    }
    other.join();

    std::set<std::wstring> seen;
    for (const auto* ids : {&a, &b}) {
        for (const std::wstring& id : *ids) {
            EXPECT_TRUE(wellFormed(id)) << std::string(id.begin(), id.end());
            EXPECT_TRUE(seen.insert(id).second) << "repeated: " << std::string(id.begin(), id.end());
        }
    }
    EXPECT_EQ(seen.size(), 2u * kPerThread);
}

}  // namespace
