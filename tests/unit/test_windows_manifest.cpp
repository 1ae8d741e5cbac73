// SPDX-License-Identifier: GPL-3.0-or-later
// The manifest of the built numbelo.exe as Windows reads it (under Wine in the build): read
// back from the program file by Windows' own activation contexts, which is what Windows does
// when it starts the program.
#include <QCoreApplication>
#include <QDir>
#include <QTest>
// windows.h first: the headers after it build on it.
// clang-format off
#include <windows.h>
// clang-format on

namespace {
// Windows 10 and 11 have one identifier.
const GUID windows10 = {
    0x8e0f7a12, 0xbfb3, 0x4fe8, {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}};
const wchar_t *const settings2016 = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";
const wchar_t *const settings2019 = L"http://schemas.microsoft.com/SMI/2019/WindowsSettings";

// What Windows 10 and Wine return for the compatibility section: the elements carry the
// MaxVersionTested field that the mingw-w64 headers leave out.
struct CompatibilityElement
{
    GUID id;
    ACTCTX_COMPATIBILITY_ELEMENT_TYPE type;
    ULONGLONG maxVersionTested;
};
struct CompatibilityInformation
{
    DWORD count;
    CompatibilityElement elements[8];
};

// The program file, beside the tests as in the installation.
std::wstring programFile()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() +
                                    QStringLiteral("/numbelo.exe"))
        .toStdWString();
}

} // namespace

class TestWindowsManifest : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanupTestCase();
    void windowsReads_data();
    void windowsReads();

  private:
    HANDLE m_context = INVALID_HANDLE_VALUE;
};

void TestWindowsManifest::initTestCase()
{
    // Windows' reading of the program file's manifest (resource 1 of type RT_MANIFEST): the
    // activation context it gives the program.
    const std::wstring file = programFile();
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = file.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(1);
    m_context = CreateActCtxW(&request);
    QVERIFY2(m_context != INVALID_HANDLE_VALUE,
             qPrintable(QStringLiteral("no manifest Windows can read in numbelo.exe, error %1")
                            .arg(GetLastError())));
}

void TestWindowsManifest::cleanupTestCase()
{
    if (m_context != INVALID_HANDLE_VALUE)
        ReleaseActCtx(m_context);
}

void TestWindowsManifest::windowsReads_data()
{
    // A setting and its value as Windows reads it; "" where the manifest does not set it.
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("value");
    QTest::newRow("the Windows it is written for") << "supportedOS"
                                                   << "Windows 10";
    QTest::newRow("DPI") << "dpiAwareness"
                         << "PerMonitorV2";
    QTest::newRow("long paths") << "longPathAware"
                                << "true";
    // Every text reaches Windows as UTF-16: the ANSI code page is left as the user has it.
    QTest::newRow("ANSI code page") << "activeCodePage"
                                    << "";
    QTest::newRow("rights") << "requestedExecutionLevel"
                            << "asInvoker";
}

void TestWindowsManifest::windowsReads()
{
    QFETCH(QString, setting);
    QString value;
    if (setting == u"supportedOS") {
        CompatibilityInformation information{};
        QVERIFY(QueryActCtxW(0, m_context, nullptr, CompatibilityInformationInActivationContext,
                             &information, sizeof information, nullptr));
        QStringList systems;
        for (DWORD i = 0; i < information.count; ++i) {
            const CompatibilityElement &element = information.elements[i];
            if (element.type == ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS)
                systems << (IsEqualGUID(element.id, windows10) ? QStringLiteral("Windows 10")
                                                               : QStringLiteral("another"));
        }
        value = systems.join(u' ');
    } else if (setting == u"requestedExecutionLevel") {
        ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
        QVERIFY(QueryActCtxW(0, m_context, nullptr, RunlevelInformationInActivationContext, &level,
                             sizeof level, nullptr));
        if (level.RunLevel == ACTCTX_RUN_LEVEL_AS_INVOKER && level.UiAccess == 0)
            value = QStringLiteral("asInvoker");
    } else {
        const wchar_t *space = setting == u"activeCodePage" ? settings2019 : settings2016;
        wchar_t text[64] = {};
        SIZE_T written = 0;
        if (QueryActCtxSettingsW(0, m_context, space, qUtf16Printable(setting), text, 64, &written))
            value = QString::fromWCharArray(text);
        else
            QCOMPARE(GetLastError(), DWORD(ERROR_SXS_KEY_NOT_FOUND));
    }
    QTEST(value, "value");
}

QTEST_GUILESS_MAIN(TestWindowsManifest)
#include "test_windows_manifest.moc"
