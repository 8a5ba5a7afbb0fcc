#include "platform/posix/com_activation_posix.h"

#include <gtest/gtest.h>

namespace {

constexpr CLSID kRunObjectClass = {
    0x1368DB73, 0x5337, 0x4934, {0xBD, 0xD1, 0x5B, 0xD2, 0x51, 0x84, 0x3A, 0xFE}};
constexpr CLSID kSecondClass = {
    0x692BE9B0, 0xCF1F, 0x4403, {0xBF, 0xAA, 0xD6, 0xB6, 0x20, 0x5A, 0x18, 0x5D}};
constexpr CLSID kUndeclaredClass = {
    0x00000000, 0x1111, 0x2222, {0x33, 0x33, 0x44, 0x44, 0x44, 0x44, 0x44, 0x44}};

const char kManifest[] =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">"
    "<file name=\"First.dll\"><comClass clsid=\"{1368db73-5337-4934-bdd1-5bd251843afe}\" "
    "progid=\"A.B\"></comClass></file>"
    "<file name=\"Shared.dll\"><comClass clsid=\"{00000000-0000-0000-0000-000000000001}\" "
    "progid=\"S.One\" tlbid=\"{00000000-0000-0000-0000-0000000000AA}\"></comClass>"
    "<comClass clsid=\"{692BE9B0-CF1F-4403-BFAA-D6B6205A185D}\" progid=\"S.Two\"></comClass>"
    "<typelib tlbid=\"{00000000-0000-0000-0000-0000000000AA}\" version=\"1.0\" helpdir=\"\">"
    "</typelib></file>"
    "<comClass clsid=\"{00000000-1111-2222-3333-444444444444}\"></comClass>"
    "</assembly>";

TEST(ActivationContext, FindsTheFileThatDeclaresTheClass) {
    EXPECT_EQ(platform::posix::FindClassFile(kManifest, kRunObjectClass), "First.dll");
    EXPECT_EQ(platform::posix::FindClassFile(kManifest, kSecondClass), "Shared.dll");
}

TEST(ActivationContext, ClassOutsideAnyFileOrNotDeclaredIsNotFound) {
    EXPECT_EQ(platform::posix::FindClassFile(kManifest, kUndeclaredClass), std::nullopt);
    EXPECT_EQ(platform::posix::FindClassFile("", kRunObjectClass), std::nullopt);
}

TEST(ActivationContext, MalformedManifestDeclaresNothing) {
    const std::string truncated(kManifest, sizeof kManifest / 2);
    EXPECT_EQ(platform::posix::FindClassFile(truncated + "<file name=\"X.dll\"><comClass "
                                                         "clsid=\"{692BE9B0-CF1F-4403-BFAA-"
                                                         "D6B6205A185D}\"/></fi",
                                             kSecondClass),
              std::nullopt);
}

TEST(ActivationContext, WindowsModuleNamesBecomeSharedObjects) {
    EXPECT_EQ(platform::posix::LocalModuleName("OvTaxLinkRun.dll"), "OvTaxLinkRun.so");
    EXPECT_EQ(platform::posix::LocalModuleName("Upper.DLL"), "Upper.so");
    EXPECT_EQ(platform::posix::LocalModuleName("already.so"), "already.so");
    EXPECT_EQ(platform::posix::FormatGuid(kSecondClass), "{692BE9B0-CF1F-4403-BFAA-D6B6205A185D}");
}

}  // namespace
