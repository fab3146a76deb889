#include "WebAddress.h"

#include <gtest/gtest.h>

namespace pinora {
namespace {

TEST(WebAddress, OnlyHttpAndHttpsGoToTheBrowser) {
    EXPECT_TRUE(IsWebAddress("https://dict.example/mini.php?q=word"));
    EXPECT_TRUE(IsWebAddress("HTTP://dict.example/"));
    EXPECT_FALSE(IsWebAddress(""));
    EXPECT_FALSE(IsWebAddress("about:blank"));
    EXPECT_FALSE(IsWebAddress("https://"));
    EXPECT_FALSE(IsWebAddress("C:\\Windows\\system32\\calc.exe"));
    EXPECT_FALSE(IsWebAddress("file:///C:/x.html"));
    EXPECT_FALSE(IsWebAddress(" https://dict.example/"));
    EXPECT_FALSE(IsWebAddress("httpx://dict.example/"));
}

TEST(WebAddress, TheShellGetsOneArgument) {
    EXPECT_EQ(AddressForShell("https://d.example/mini.php?q=two words"), "https://d.example/mini.php?q=two%20words");
    // A quote could otherwise end the browser's quoted argument and add options of its own.
    EXPECT_EQ(AddressForShell("https://d.example/?q=a\" --flag \"b"), "https://d.example/?q=a%22%20--flag%20%22b");
    EXPECT_EQ(AddressForShell("https://d.example/?q=a\tb\r\n"), "https://d.example/?q=a%09b%0D%0A");
    EXPECT_EQ(AddressForShell("https://d.example/?q=caf\xE9&x=1%2"), "https://d.example/?q=caf\xE9&x=1%2");
}

}  // namespace
}  // namespace pinora
