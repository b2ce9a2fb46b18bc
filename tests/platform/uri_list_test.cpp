// The file list of a drop: local file URIs decoded into paths, everything else left out.
#include "platform/uri_list.h"

#include <gtest/gtest.h>

#include <unistd.h>

using pelko::filePathFromUri;
using pelko::filePathsFromUriList;
using Paths = std::vector<std::string>;

TEST(UriList, LocalFileUrisInTheirCommonFormsAreDecoded)
{
    EXPECT_EQ(filePathFromUri("file:///tmp/a.fxp"), "/tmp/a.fxp");
    EXPECT_EQ(filePathFromUri("file:/tmp/a.fxp"), "/tmp/a.fxp");
    EXPECT_EQ(filePathFromUri("file://localhost/tmp/a.fxp"), "/tmp/a.fxp");
    EXPECT_EQ(filePathFromUri("FILE:///tmp/a.fxp"), "/tmp/a.fxp");
    char host[256] = {};
    ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
    EXPECT_EQ(filePathFromUri(std::string("file://") + host + "/x/y.wav"), "/x/y.wav");
    // Escapes in either case, UTF-8 bytes, and the characters that must be escaped in a URI.
    EXPECT_EQ(filePathFromUri("file:///home/u/My%20Sounds/%c3%a9t%C3%A9%2523%3F.fxb"), "/home/u/My Sounds/été%23?.fxb");
    EXPECT_EQ(filePathFromUri("file:///a%5Cb%0Ac"), "/a\\b\nc");
    // A fragment or query is no part of the name.
    EXPECT_EQ(filePathFromUri("file:///tmp/a.fxp#part"), "/tmp/a.fxp");
}

TEST(UriList, EntriesThatNameNoLocalFileAreLeftOut)
{
    for (const char* uri : {"http://example.org/a.fxp", "file://elsewhere.example/tmp/a.fxp", "file:relative/a.fxp",
                            "file://", "file:", "file:///a%2", "file:///a%", "file:///a%zz", "file:///a%00b",
                            "/tmp/plain-path", "", "file://localhost"}) {
        EXPECT_EQ(filePathFromUri(uri), "") << uri;
    }
}

TEST(UriList, ListsSplitOnEitherLineEndAndSkipComments)
{
    EXPECT_EQ(filePathsFromUriList("file:///a\r\n# a comment\r\nhttp://x/y\r\nfile:///b%20c\r\n"),
              (Paths{"/a", "/b c"}));
    EXPECT_EQ(filePathsFromUriList("file:///a\nfile:///b"), (Paths{"/a", "/b"}));
    EXPECT_EQ(filePathsFromUriList("\r\n\n\r\n"), Paths{});
    std::string withNul = "file:///a";
    withNul += '\0';
    withNul += "b\nfile:///c";
    EXPECT_EQ(filePathsFromUriList(withNul), (Paths{"/c"}));
    std::string many;
    for (int i = 0; i < 50; ++i) {
        many += "file:///f" + std::to_string(i) + "\r\n";
    }
    EXPECT_EQ(filePathsFromUriList(many, 10).size(), 10u);
    EXPECT_EQ(filePathsFromUriList(many).back(), "/f49");
}
