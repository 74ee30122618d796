#include "CommonCLI/ExceptionSupport.h"

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>
#include <stop_token>
#include <vector>

#include <google/protobuf/wrappers.pb.h>
#include <gtest/gtest.h>

#include "kvr/DatatypeItem.h"
#include "kvr/host/RecordingLog.h"

namespace {

using Kvr::Host::LogRecord;
using Kvr::Host::RecordingLog;
using Talvex::Quorlin::Cpp::Common::ItemHandler;
using Talvex::Quorlin::Cpp::Common::ItemHandlerDelegate;
using Talvex::Quorlin::Cpp::Common::NotSupportedExceptionBehaviour;

using Message = google::protobuf::StringValue;
using Items = Kvr::DatatypeItemList<Message>;

constexpr const char* HandlerFile = "src/cpp/CommonCLI/include/CommonCLI/ExceptionSupport";
constexpr const char* HandlerFunction =
    "Talvex::Quorlin::Cpp::Common::ItemHandler<`generic-class-parameter-1'>::ExecuteHandlingException";

constexpr auto kWrap = NotSupportedExceptionBehaviour::WrapInKvrException;
constexpr auto kReThrow = NotSupportedExceptionBehaviour::ReThrow;

Items Handle(const ItemHandlerDelegate<Items>& delegate, RecordingLog& log,
             NotSupportedExceptionBehaviour behaviour = kWrap, const Kvr::CancellationToken& token = std::nullopt,
             const std::optional<std::string>& itemId = std::nullopt)
{
    return ItemHandler<Items>::ExecuteHandlingException(delegate, itemId, behaviour, log, token);
}

// Makes a delegate that throws the very object held by `error`, so the test
// can compare addresses with what reaches the caller.
ItemHandlerDelegate<Items> Throwing(std::exception_ptr error)
{
    return [error](const std::optional<std::string>&) -> Items { std::rethrow_exception(error); };
}

template <class E>
const E* Address(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const E& e) {
        return &e;
    } catch (...) {
    }
    return nullptr;
}

// Runs and returns what left the handler as a KvrException; fails the test on anything else.
std::exception_ptr RunExpectingKvr(const ItemHandlerDelegate<Items>& delegate, RecordingLog& log,
                                   NotSupportedExceptionBehaviour behaviour = kWrap)
{
    try {
        Handle(delegate, log, behaviour);
    } catch (const Kvr::KvrException&) {
        return std::current_exception();
    } catch (...) {
        ADD_FAILURE() << "something other than a KvrException left the handler";
        return nullptr;
    }
    ADD_FAILURE() << "the handler returned";
    return nullptr;
}

void ExpectOneLine(const RecordingLog& log, Kvr::LogLevel level, const std::string& text)
{
    const auto records = log.Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Level, level);
    EXPECT_EQ(records[0].Text, text);
    EXPECT_EQ(records[0].File, HandlerFile);
    EXPECT_EQ(records[0].Function, HandlerFunction);
    EXPECT_GT(records[0].Line, 0);
    EXPECT_TRUE(records[0].ExceptionType.empty());
}

// Every error the delegate raises leaves as a KvrException after one log line
// of its category, each category from a statement of its own. Native errors
// (the retrievers' invalid-argument errors among them) become a new exception
// with their description; a KvrException leaves as itself; other host errors,
// the missing item id and the duplicate key among them, are wrapped as inner.
TEST(ItemHandler, EachErrorLeavesAsKvrExceptionAfterItsCategorysLine)
{
    struct ResultLike : std::exception {
        const char* what() const noexcept override { return "file.cpp(12)\\mod!0x1: Exception(1) 80070005"; }
    };
    enum class Leaves { New,
                        Same,
                        Wrapped };
    struct Row {
        std::exception_ptr error;
        Kvr::LogLevel level;
        std::string line;
        std::string message;
        Leaves leaves;
    };
    const Row rows[] = {
        {std::make_exception_ptr(ResultLike()), Kvr::LogLevel::Error,
         "Native exception : file.cpp(12)\\mod!0x1: Exception(1) 80070005",
         "file.cpp(12)\\mod!0x1: Exception(1) 80070005", Leaves::New},
        {std::make_exception_ptr(std::invalid_argument("Invalid device id : 7")), Kvr::LogLevel::Error,
         "Native exception : Invalid device id : 7", "Invalid device id : 7", Leaves::New},
        {std::make_exception_ptr(std::out_of_range("stoul")), Kvr::LogLevel::Error, "Native exception : stoul", "stoul",
         Leaves::New},
        {std::make_exception_ptr(Kvr::KvrException("retriever gave up")), Kvr::LogLevel::Error,
         "KVR Exception : retriever gave up", "retriever gave up", Leaves::Same},
        {std::make_exception_ptr(Kvr::NotSupportedException("no NVMe here")), Kvr::LogLevel::Trace,
         "Not Supported Exception : no NVMe here", "no NVMe here", Leaves::Wrapped},
        {std::make_exception_ptr(Kvr::ArgumentOutOfRangeException("cannot find data with specific ID: Disk_9")),
         Kvr::LogLevel::Error, "Exception : cannot find data with specific ID: Disk_9", "", Leaves::Wrapped},
        {std::make_exception_ptr(Kvr::ArgumentException("An item with the same key has already been added. Key: Disk_")),
         Kvr::LogLevel::Error, "Exception : An item with the same key has already been added. Key: Disk_", "",
         Leaves::Wrapped},
        {std::make_exception_ptr(Kvr::Exception("plain")), Kvr::LogLevel::Error, "Exception : plain", "",
         Leaves::Wrapped},
        {std::make_exception_ptr(42), Kvr::LogLevel::Error, "Unknown exception", "Unknown exception", Leaves::New},
    };
    std::map<std::string, int> lineOfCategory;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        RecordingLog log;
        const auto raised = RunExpectingKvr(Throwing(row.error), log);
        const auto* kvr = Address<Kvr::KvrException>(raised);
        ASSERT_NE(kvr, nullptr);
        ExpectOneLine(log, row.level, row.line);
        lineOfCategory[row.line.substr(0, row.line.find(" : "))] = log.Records()[0].Line;
        if (!row.message.empty()) {
            EXPECT_EQ(kvr->Message(), row.message);
        }
        switch (row.leaves) {
        case Leaves::New:
            EXPECT_FALSE(kvr->InnerExceptionPtr());
            break;
        case Leaves::Same:
            EXPECT_EQ(kvr, Address<Kvr::KvrException>(row.error));
            break;
        case Leaves::Wrapped:
            EXPECT_EQ(kvr->InnerException(), Address<Kvr::Exception>(row.error));
            break;
        }
    }
    std::set<int> lines;
    for (const auto& [category, line] : lineOfCategory) lines.insert(line);
    EXPECT_EQ(lines.size(), 5u) << "categories sharing a log statement";
}

TEST(ItemHandler, NotSupportedUnderReThrowLeavesUnchangedAndUnlogged)
{
    RecordingLog log;
    const auto original = std::make_exception_ptr(Kvr::NotSupportedException("no NVMe here"));
    try {
        Handle(Throwing(original), log, kReThrow);
        FAIL() << "the handler returned";
    } catch (const Kvr::NotSupportedException& raised) {
        EXPECT_EQ(&raised, Address<Kvr::NotSupportedException>(original));
    }
    EXPECT_EQ(log.Count(), 0u);
}

TEST(ItemHandler, NoListStaysNoListAndEmptyStaysEmpty)
{
    RecordingLog log;
    EXPECT_FALSE(Handle([](const std::optional<std::string>&) -> Items { return std::nullopt; }, log).has_value());
    const auto empty = Handle([](const std::optional<std::string>&) -> Items { return Items::value_type{}; }, log);
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->empty());
    EXPECT_EQ(log.Count(), 0u);
}

// A log that fails must not change what the caller sees.
TEST(ItemHandler, AFailingLogDoesNotChangeTheOutcome)
{
    class BrokenLog final : public Kvr::IKvrLog {
    protected:
        void Write(Kvr::LogLevel, std::string_view, int, std::string_view, std::string_view) override
        {
            throw std::runtime_error("disk full");
        }
        void WriteException(const Kvr::Exception&, int, std::string_view, std::string_view) override
        {
            throw std::runtime_error("disk full");
        }
    } log;
    try {
        ItemHandler<Items>::ExecuteHandlingException(Throwing(std::make_exception_ptr(Kvr::Exception("inner"))),
                                                     std::nullopt, kWrap, log, std::nullopt);
        FAIL() << "the handler returned";
    } catch (const Kvr::KvrException& raised) {
        ASSERT_NE(raised.InnerException(), nullptr);
        EXPECT_EQ(raised.InnerException()->Message(), "inner");
    }
}

}  // namespace
