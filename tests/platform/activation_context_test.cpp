#include "platform/posix/com_activation_posix.h"

#include <gtest/gtest.h>

namespace {

constexpr CLSID kRunObjectClass = {
    0x1368DB73, 0x5337, 0x4934, {0xBD, 0xD1, 0x5B, 0xD2, 0x51, 0x84, 0x3A, 0xFE}};
constexpr CLSID kSecondClass = {
    0x692BE9B0, 0xCF1F, 0x4403, {0xBF, 0xAA, 0xD6, 0xB6, 0x20, 0x5A, 0x18, 0x5D}};
constexpr CLSID kUndeclaredClass = {
    0x00000000, 0x1111, 0x2222, {0x33, 0x33, 0x44, 0x44, 0x44, 0x44, 0x44, 0x44}};

// As the manifest lists them: a class ID cut short ahead of the one it begins (no match for
// it), one class in two files (the first file answers for it), and identifiers in either case.
constexpr platform::DeclaredClass kDeclared[] = {
    {"{692BE9B0-CF1F-4403-BFAA-D6B6205A185", "Cut.dll"},
    {"{1368db73-5337-4934-bdd1-5bd251843afe}", "First.dll"},
    {"{00000000-0000-0000-0000-000000000001}", "Shared.dll"},
    {"{692BE9B0-CF1F-4403-BFAA-D6B6205A185D}", "Shared.dll"},
    {"{692BE9B0-CF1F-4403-BFAA-D6B6205A185D}", "Later.dll"},
};

std::optional<std::string_view> FileOf(std::span<const platform::DeclaredClass> classes,
                                       REFCLSID classId) {
    return platform::FindClassFile(classes, platform::posix::FormatGuid(classId));
}

TEST(ActivationContext, FindsTheFileThatDeclaresTheClassFirst) {
    EXPECT_EQ(FileOf(kDeclared, kRunObjectClass), "First.dll");
    EXPECT_EQ(FileOf(kDeclared, kSecondClass), "Shared.dll");
}

TEST(ActivationContext, UndeclaredClassIsNotFound) {
    EXPECT_EQ(FileOf(kDeclared, kUndeclaredClass), std::nullopt);
    EXPECT_EQ(FileOf({}, kRunObjectClass), std::nullopt);
}

TEST(ActivationContext, WindowsModuleNamesBecomeSharedObjects) {
    EXPECT_EQ(platform::posix::LocalModuleName("OvTaxLinkRun.dll"), "OvTaxLinkRun.so");
    EXPECT_EQ(platform::posix::LocalModuleName("Upper.DLL"), "Upper.so");
    EXPECT_EQ(platform::posix::LocalModuleName("already.so"), "already.so");
    EXPECT_EQ(platform::posix::FormatGuid(kSecondClass), "{692BE9B0-CF1F-4403-BFAA-D6B6205A185D}");
}

}  // namespace
