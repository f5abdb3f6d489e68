// SPDX-License-Identifier: Apache-2.0
// The platform services the library stands on: strings, the arena, the
// ordered dictionary, errors and their catalogs. (The XML reader and writer
// are seen through whole runs: LoadingTest, ComparisonTest.)
#include <cstring>

#include <xercesc/util/OutOfMemoryException.hpp>

#include "QORMDTestSupport.h"
#include "QORMetaUtil/QORMUArena.h"
#include "QORMetaUtil/QORMUPrintableLine.h"
#include "ZULBase/ZULHashDico.h"
#include "ZULBase/ZULResourceError.h"

namespace {

TEST(ZULUnicodeString, RoundTripsUtf8AndKeepsUndecodableBytes) {
    const char text[] = u8"Données 中文 😀 l'été";
    const ZULUnicodeString s(text);
    EXPECT_STREQ(s.ConvertToChar(), text);
    EXPECT_EQ(s.GetLengthInChar(), 18u);  // the emoji is one character, two UTF-16 units
    EXPECT_EQ(s.str().size(), 19u);

    const char raw[] = "bad\xff\xc3(name\xe2\x82";  // not UTF-8: a file name may be any bytes
    EXPECT_STREQ(ZULUnicodeString(raw).ConvertToChar(), raw);

    ZULUnicodeString appended("a");
    const char* before = appended.ConvertToChar();
    EXPECT_STREQ(before, "a");
    appended.Append(u8"é");
    EXPECT_STREQ(appended.ConvertToChar(), u8"aé");
    EXPECT_TRUE(ZULUnicodeString(static_cast<const char*>(nullptr)).IsEmpty());
}

TEST(ZULUnicodeString, ToUpperFoldsAsciiAndLatinLetters) {
    ZULUnicodeString s(u8"abc-xyz_é_ñ_ß_中_ÿ_0x1f");
    s.ToUpper();
    EXPECT_STREQ(s.ConvertToChar(), u8"ABC-XYZ_É_Ñ_ß_中_Ÿ_0X1F");
    EXPECT_TRUE(ZULUnicodeString("a1B2").ToUpper() == ZULUnicodeString("A1b2").ToUpper());
}

// Small requests are cut from regions that go with the arena; a large block
// has its own mapping and goes back when deallocated, so that a buffer that
// keeps growing does not leave its earlier copies behind. Under the
// sanitizers and valgrind everything goes to the heap instead.
TEST(QORMUArena, RegionsStayLargeBlocksGoBack) {
    QORMUArena arena;
    const bool mapped = !QORMUArena::PassThrough();
    char* small = static_cast<char*>(arena.allocate(100));
    std::memset(small, 1, 100);
    const std::size_t regions = arena.Mapped();
    EXPECT_EQ(regions > 0, mapped);
    for (std::size_t size = QORMUArena::kLargeBlock; size <= 64 * QORMUArena::kLargeBlock; size *= 2) {
        void* block = arena.allocate(size);
        std::memset(block, 2, size);
        EXPECT_EQ(arena.Mapped() >= regions + size, mapped);
        arena.deallocate(block);
        EXPECT_EQ(arena.Mapped(), regions);
    }
    EXPECT_EQ(small[99], 1);
    arena.deallocate(small);  // passing through, nothing goes with the arena
}

// A request that no system can grant (more than an address space holds)
// fails as Xerces-C expects memory to fail, and the arena goes on: on each
// system's pages (mmap, VirtualAlloc), what the programs turn into their
// message that memory ran out.
TEST(QORMUArena, ARequestNoSystemCanGrantFailsCleanly) {
    if (QORMUArena::PassThrough()) GTEST_SKIP() << "under the sanitizers and valgrind the heap stands in for pages";
    QORMUArena arena;
    EXPECT_THROW(arena.allocate(std::size_t{1} << 62), xercesc::OutOfMemoryException);
    EXPECT_EQ(arena.Mapped(), 0u);
    char* small = static_cast<char*>(arena.allocate(100));
    std::memset(small, 3, 100);
    EXPECT_GT(arena.Mapped(), 0u);
    std::pmr::memory_resource& resource = arena;
    EXPECT_THROW(static_cast<void>(resource.allocate(std::size_t{1} << 62)), std::bad_alloc);
    EXPECT_EQ(small[99], 3);
}

TEST(ZULHashDico, IteratesInInsertionOrderAndKeepsTheFirstOfTwoKeys) {
    for (int count : {5, 1000}) {  // the small, linear case and the indexed one
        ZULHashDico dico(10);
        std::vector<std::string> keys;
        for (int i = 0; i < count; ++i) keys.push_back("key" + std::to_string((i * 7919) % count));
        int values[1000];
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(dico.Insert(ZULUnicodeString(keys[i].c_str()), &values[i]), ZULHashDico::kInserted);
        ZULUnicodeString repeated(keys[0].c_str());
        EXPECT_EQ(dico.Insert(repeated, &values[1]), ZULHashDico::kAlreadyPresent);
        EXPECT_STREQ(repeated.ConvertToChar(), keys[0].c_str());  // NOLINT: a refused key is not taken
        EXPECT_EQ(dico.Size(), count);
        EXPECT_EQ(dico.Locate(ZULUnicodeString(keys[0].c_str())), &values[0]);
        EXPECT_EQ(dico.Locate(ZULUnicodeString("absent")), nullptr);

        ZULHashCodeIter it(dico);
        int position = 0;
        while (it++) {
            ASSERT_LT(position, count);
            EXPECT_STREQ(it.ItemName().ConvertToChar(), keys[position].c_str());
            EXPECT_EQ(dico[it], &values[position]);
            ++position;
        }
        EXPECT_EQ(position, count);
        dico.RemoveAll();
        EXPECT_EQ(dico.Size(), 0);
        EXPECT_EQ(dico.Locate(ZULUnicodeString(keys[1].c_str())), nullptr);
    }
}

TEST(ZULError, FailureStatusesCarryTheirErrorAndSuccessNone) {
    EXPECT_GE(ZULError::GetReturn(1, nullptr, nullptr, "module", 1), 0);
    // The file error for the file, with its one parameter.
    const auto fileError = [](const char* file) {
        ZULResourceError* error = new (ZULBaseUnknown{}) ZULResourceError("MDFileError_1", "MDErrorCatalog");
        ZULUnicodeString parameter("\"");
        parameter.Append(file).Append("\" could not be read: line 1, column 2: bad");
        error->SetNLSParameters(1, &parameter);
        return error;
    };
    ZULResourceError* error = fileError(u8"données.xml");
    const int status = ZULError::GetReturn(2, error, nullptr, "QORMetaDiff.m\\src\\Here", 42);
    EXPECT_LT(status, 0);
    EXPECT_EQ(ZULError::ZULGetLastError(status, nullptr), error);
    EXPECT_EQ(ZULError::GetStatusSource(status), "QORMetaDiff.m\\src\\Here:42");
    EXPECT_STREQ(error->GetText().ConvertToChar(),
                 u8"The metadata file \"données.xml\" could not be read: line 1, column 2: bad");

    const int propagated = ZULError::GetReturn(2, ZULError::ZULGetLastError(status, nullptr), nullptr, "m", 2);
    EXPECT_NE(propagated, status);
    EXPECT_EQ(ZULError::ZULGetLastError(propagated, nullptr), error);
    EXPECT_EQ(ZULError::ZULGetLastError(0, nullptr), nullptr);
    EXPECT_EQ(ZULError::ZULGetLastError(-1, nullptr), nullptr);  // a plain failure carries nothing

    // Thousands of other failures later the first status still leads to its
    // error; the same failure at the same place gives the same status again.
    int first = 0;
    for (int i = 0; i < 3000; ++i) {
        const int s = ZULError::GetReturn(2, fileError(("f" + std::to_string(i)).c_str()), nullptr, "m", 3);
        if (i == 0) first = s;
    }
    ZULResourceError* again = fileError("f0");
    EXPECT_EQ(ZULError::GetReturn(2, again, nullptr, "m", 3), first);
    EXPECT_NE(ZULError::GetReturn(2, again, nullptr, "m", 4), first);  // another place, another status
    EXPECT_EQ(ZULError::ZULGetLastError(status, nullptr), error);
    EXPECT_STREQ(ZULError::ZULGetLastError(first, nullptr)->GetText().ConvertToChar(),
                 "The metadata file \"f0\" could not be read: line 1, column 2: bad");
}

// What a reader would not see, or would see as something else, is shown
// escaped; everything else as it is. Within quotes, also the quote, the
// backslash and a combining mark that would join the opening quote.
TEST(QORMUPrintableLine, EscapesWhatAReaderWouldNotSee) {
    const std::pair<std::string, std::string> lines[] = {
        {"plain name.xml \"q\" \\", "plain name.xml \"q\" \\"},
        {"a\x1b[31mred\x07", "a\\x{1B}[31mred\\x{07}"},
        {"line\nbreak\r\ttab\x7f\x01", "line\\nbreak\\r\\ttab\\x{7F}\\x{01}"},
        {"c1 \xc2\x9b and \xc2\x85", "c1 \\u{009B} and \\u{0085}"},
        {u8"sep \u2028 \u2029 bidi \u202e\u2066 zero \u200b\u200d\ufeff",
         "sep \\u{2028} \\u{2029} bidi \\u{202E}\\u{2066} zero \\u{200B}\\u{200D}\\u{FEFF}"},
        {u8"blanks \u00a0\u3000\u2800 filler \u3164 selector e\ufe0f",
         "blanks \\u{00A0}\\u{3000}\\u{2800} filler \\u{3164} selector e\\u{FE0F}"},
        {u8"données € 中文 😀 e\u0301", u8"données € 中文 😀 e\u0301"},
        {"lone \x9b and \x80, latin-1 d\xe9j\xe0 \xff", "lone \\x{9B} and \\x{80}, latin-1 d\\x{E9}j\\x{E0} \\x{FF}"},
        {"cut \xe2\x82, surrogate \xed\xa0\x80", "cut \\x{E2}\\x{82}, surrogate \\x{ED}\\x{A0}\\x{80}"},
    };
    for (const auto& [bytes, shown] : lines) EXPECT_EQ(QORMUPrintableLine(bytes), shown) << bytes;
    const std::pair<std::string, std::string> quoted[] = {
        {"say \"hi\" \\n", "say \\\"hi\\\" \\\\n"},
        {u8"\u0301e and e\u0301", u8"\\u{0301}e and e\u0301"},
        {"\xff\n", "\\x{FF}\\n"},
    };
    for (const auto& [bytes, shown] : quoted)
        EXPECT_EQ(QORMUPrintableLine(bytes, QORMUQuoting::kInQuotes), shown) << bytes;
}

// A failed read or write is traced under the name of the operation that
// failed, whichever of the parser's entry points it was.
TEST(cDDLXMLParser, FailuresAreTracedUnderTheOperationsOwnName) {
    const TempDir dir;
    const ZULUnicodeString missing(dir.file("no folder/f.xml").c_str());
    TraceRecorder traces;
    ASSERT_GE(cDDLXMLParser::init(), 0);
    DOM_Document document;
    EXPECT_LT(cDDLXMLParser::parseXMLFile(missing, document), 0);
    EXPECT_LT(cDDLXMLParser::parseXMLBytes("<Package", ZULUnicodeString("p.xml"), document), 0);
    EXPECT_LT(cDDLXMLParser::writeFile("text", missing), 0);
    cDDLXMLParser::terminate();
    EXPECT_THAT(traces.lines(), testing::ElementsAre(StartsWith("cDDLXMLParser::parseXMLFile refused "),
                                                     StartsWith("cDDLXMLParser::parseXMLBytes refused "),
                                                     StartsWith("cDDLXMLParser::writeFile failed ")));
}

TEST(ZULMessageCatalog, EveryMessageTheLibraryRaisesHasAText) {
    std::vector<std::string> ids = {"MDInputInfo_1", "MDInputInfo_2", "MDFileError_1", "MDInternalError_1"};
    for (int i = 1; i <= 12; ++i) ids.push_back("MDInputError_" + std::to_string(i));
    for (const std::string& id : ids) {
        ZULResourceError* error = new (ZULBaseUnknown{}) ZULResourceError(id.c_str(), "MDErrorCatalog");
        EXPECT_THAT(error->GetText().ConvertToChar(), Not(HasSubstr("Message "))) << id;
    }
}

}  // namespace
