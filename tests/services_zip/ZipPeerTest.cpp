// Checks against the real tools on the Linux side: unzip, zip and Python's
// zipfile. Each test is skipped when its tool is missing.
#include "tests/services_zip/ZipTestSupport.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <iostream>
#include <map>

using namespace ziptest;
using testsupport::RunHostCommand;

namespace {

const char* const g_pszPath = "PATH=/usr/local/bin:/usr/bin:/bin; export PATH; ";

struct SourceFile
{
    std::string strName;        // inside src/, '/' separated
    std::string data;
};

std::vector<SourceFile> SourceFiles()
{
    return { { "a.txt", TextOfSize(100000, 11) },
             { "sub/b.bin", RandomOfSize(50000, 12) },
             { "sub/c.reg", TextOfSize(3000, 13) },
             { "empty.txt", "" },
             { "packed.zip", RandomOfSize(2000, 14) } };
}

bool WriteSources(const HostScratch& scratch, const std::vector<SourceFile>& files)
{
    CreateDirectoryW(scratch.Win("src").c_str(), NULL);
    CreateDirectoryW(scratch.Win("src/sub").c_str(), NULL);
    for (const SourceFile& f : files)
    {
        if (!WriteBytes(scratch.Win("src/" + f.strName), f.data))
            return false;
    }
    return true;
}

std::wstring Widen(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

} // namespace

TEST(ZipPeers, WrittenArchivesPassUnzipAndPython)
{
    bool bUnzip = HostHas("unzip"), bPython = HostHas("python3");
    if (!bUnzip && !bPython)
        TAMSEL_PEER_MISSING("neither unzip nor python3 on the host");
    HostScratch scratch;
    std::vector<SourceFile> files = SourceFiles();
    ASSERT_TRUE(WriteSources(scratch, files));

    // Known modification times, one per file.
    std::map<std::string, DWORD> unixTimes;
    DWORD dwTime = 1600000000;
    for (const SourceFile& f : files)
    {
        dwTime += 86400 + 7;
        FILETIME ft = zipformat::FileTimeFromUnix(dwTime);
        HANDLE h = CreateFileW(scratch.Win("src/" + f.strName).c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
        SetFileTime(h, NULL, NULL, &ft);
        CloseHandle(h);
        unixTimes[f.strName] = dwTime;
    }

    std::wstring strZip = scratch.Win("ours.zip");
    ZipHandle hZip = CreateZipArchive(strZip.c_str(), 0, ZipKindFile);
    ASSERT_NE(hZip, nullptr);
    EXPECT_EQ(AddToZipArchive(hZip, L"Folder", NULL, 0, ZipKindFolder), ZipOk);
    std::string expected = "Folder/|0|0\n";
    for (const SourceFile& f : files)
    {
        std::wstring strName = L"Folder\\" + Widen(f.strName);
        EXPECT_EQ(AddToZipArchive(hZip, strName.c_str(), scratch.Win("src/" + f.strName).c_str(), 0, ZipKindFile), ZipOk);
        // The DOS time is local time, as the writer's own conversion gives it.
        FILETIME ftUtc = zipformat::FileTimeFromUnix(unixTimes[f.strName]), ftLocal;
        SYSTEMTIME st;
        FileTimeToLocalFileTime(&ftUtc, &ftLocal);
        FileTimeToSystemTime(&ftLocal, &st);
        char szLine[200];
        wsprintfA(szLine, "Folder/%s|%u|%lu|%04u-%02u-%02u %02u:%02u:%02u\n", f.strName.c_str(), (unsigned)f.data.size(),
                  unixTimes[f.strName], st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond & ~1);
        expected += szLine;
    }
    EXPECT_EQ(CloseZipWriter(hZip), ZipOk);

    if (bUnzip)
    {
        EXPECT_EQ(RunHostCommand(std::string(g_pszPath) + "unzip -tq '" + scratch.Unix("ours.zip") + "'"), 0);
    }

    if (bPython)
    {
        // Lists name|size|UT time|DOS time, and fails unless every CRC and every
        // content matches the source file.
        std::string script =
            "import sys, zipfile, struct\n"
            "root = sys.argv[1]\n"
            "z = zipfile.ZipFile(root + 'ours.zip')\n"
            "assert z.testzip() is None\n"
            "out = open(root + 'py.txt', 'w')\n"
            "for i in z.infolist():\n"
            "    t = 0\n"
            "    x = i.extra\n"
            "    while len(x) >= 4:\n"
            "        tag, n = struct.unpack('<HH', x[:4])\n"
            "        if tag == 0x5455 and x[4] & 1: t = struct.unpack('<I', x[5:9])[0]\n"
            "        x = x[4 + n:]\n"
            "    line = '%s|%d|%d' % (i.filename, i.file_size, t)\n"
            "    if not i.is_dir():\n"
            "        assert z.read(i) == open(root + 'src/' + i.filename[7:], 'rb').read(), i.filename\n"
            "        line += '|%04d-%02d-%02d %02d:%02d:%02d' % i.date_time\n"
            "    out.write(line + '\\n')\n"
            "out.close()\n";
        ASSERT_TRUE(WriteBytes(scratch.Win("check.py"), script));
        ASSERT_EQ(RunHostCommand(std::string(g_pszPath) + "python3 '" + scratch.Unix("check.py") + "' '" + scratch.Unix() + "'"), 0);
        std::string listed = ReadBytes(scratch.Win("py.txt"));
        // The folder entry's time is "now"; only its name and size are compared.
        std::string folderLine = listed.substr(0, listed.find('\n') + 1);
        EXPECT_EQ(folderLine.substr(0, 10), "Folder/|0|");
        EXPECT_EQ(listed.substr(folderLine.size()), expected.substr(expected.find('\n') + 1));
    }
}

TEST(ZipPeers, ArchivesOfZipAndPythonExtract)
{
    bool bZip = HostHas("zip"), bPython = HostHas("python3");
    if (!bZip && !bPython)
        TAMSEL_PEER_MISSING("neither zip nor python3 on the host");
    HostScratch scratch;
    std::vector<SourceFile> files = SourceFiles();
    ASSERT_TRUE(WriteSources(scratch, files));
    std::string strCd = std::string(g_pszPath) + "cd '" + scratch.Unix("src") + "' && ";

    std::vector<std::string> archives;
    if (bZip)
    {
        ASSERT_EQ(RunHostCommand(strCd + "zip -q -r ../zip-deflated.zip ."), 0);
        ASSERT_EQ(RunHostCommand(strCd + "zip -q -0 -r ../zip-stored.zip ."), 0);
        ASSERT_EQ(RunHostCommand(strCd + "zip -q -r - . > ../zip-stream.zip"), 0);
        archives.insert(archives.end(), { "zip-deflated.zip", "zip-stored.zip", "zip-stream.zip" });
    }
    else
        std::cout << "[ SKIPPED  ] zip is not on the host; only Python's archives are read\n";
    if (bPython)
    {
        // Python writes data descriptors when its output cannot seek.
        std::string script =
            "import sys, os, zipfile\n"
            "def fill(z):\n"
            "    z.writestr(zipfile.ZipInfo('sub/'), '')\n"
            "    for d, _, names in os.walk('.'):\n"
            "        for n in names: z.write(os.path.join(d, n)[2:])\n"
            "fill(zipfile.ZipFile('../py-deflated.zip', 'w', zipfile.ZIP_DEFLATED))\n"
            "fill(zipfile.ZipFile('../py-stored.zip', 'w', zipfile.ZIP_STORED))\n"
            "with zipfile.ZipFile(sys.stdout.buffer, 'w', zipfile.ZIP_DEFLATED) as z: fill(z)\n";
        ASSERT_TRUE(WriteBytes(scratch.Win("make.py"), script));
        ASSERT_EQ(RunHostCommand(strCd + "python3 ../make.py | cat > ../py-stream.zip"), 0);
        archives.insert(archives.end(), { "py-deflated.zip", "py-stored.zip", "py-stream.zip" });
    }
    else
        std::cout << "[ SKIPPED  ] python3 is not on the host; only zip's archives are read\n";

    for (const std::string& strArchive : archives)
    {
        ZipHandle hZip = OpenZipArchive(scratch.Win(strArchive).c_str(), 0, ZipKindFile);
        ASSERT_NE(hZip, nullptr) << strArchive;
        ZipArchiveEntry e;
        ASSERT_EQ(GetZipArchiveItem(hZip, -1, &e), ZipOk);
        int nFound = 0;
        for (int i = 0; i < e.m_nIndex; ++i)
        {
            ZipArchiveEntry item;
            ASSERT_EQ(GetZipArchiveItem(hZip, i, &item), ZipOk) << strArchive << " " << i;
            if (item.m_dwAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            std::wstring strOut = scratch.Win("out.bin");
            ASSERT_EQ(ExtractZipArchiveItem(hZip, i, strOut.c_str(), 0, ZipKindFile), ZipOk) << strArchive << " " << i;
            std::wstring strName = item.m_szName;
            for (const SourceFile& f : files)
            {
                if (Widen(f.strName) == strName)
                {
                    EXPECT_EQ(ReadBytes(strOut), f.data) << strArchive << " " << f.strName;
                    ++nFound;
                }
            }
        }
        EXPECT_EQ(nFound, (int)files.size()) << strArchive;
        EXPECT_EQ(CloseZipReader(hZip), ZipOk);
    }
}
