#include "catalog/command.h"
#include "platform/sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace {

// Known digests, each fed in pieces of several sizes: a piece boundary
// anywhere must not change the digest.
TEST(Sha256, DigestsOfKnownTexts) {
    const struct {
        std::string text;
        std::string digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases) {
        for (size_t piece : {size_t(1), size_t(63), size_t(1024), c.text.size() + 1}) {
            if (piece == 1 && c.text.size() > 1000) continue;
            platform::Sha256 hash;
            for (size_t at = 0; at < c.text.size(); at += piece)
                ASSERT_TRUE(hash.Update(c.text.data() + at, std::min(piece, c.text.size() - at)));
            EXPECT_EQ(hash.HexDigest(), c.digest) << c.text.size() << " bytes by " << piece;
        }
    }
}

TEST(Sha256, DescriptorValuesAndComparison) {
    const std::string d = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    std::string upper = d;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const struct {
        std::string value;
        bool valid;
    } cases[] = {
        {d, true},
        {upper, true},
        {d.substr(1), false},
        {d + "0", false},
        {d.substr(0, 63) + "g", false},
        {d.substr(0, 32) + " " + d.substr(33), false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(command::IsSha256Digest(c.value), c.valid) << c.value;
    EXPECT_TRUE(command::SameDigest(d, upper));
    EXPECT_FALSE(command::SameDigest(d, d.substr(0, 63) + "e"));
    EXPECT_FALSE(command::SameDigest(d, d.substr(1)));
}

}  // namespace
