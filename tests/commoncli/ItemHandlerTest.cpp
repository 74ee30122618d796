#include "CommonCLI/ExceptionSupport.h"

#include <algorithm>
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
          const std::optional<std::string>& itemId = std::nullopt) {
    return ItemHandler<Items>::ExecuteHandlingException(delegate, itemId, behaviour, log, token);
}

// Makes a delegate that throws the very object held by `error`, so the test
// can compare addresses with what reaches the caller.
ItemHandlerDelegate<Items> Throwing(std::exception_ptr error) {
    return [error](const std::optional<std::string>&) -> Items { std::rethrow_exception(error); };
}

template <class E>
const E* Address(const std::exception_ptr& error) {
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
                                   NotSupportedExceptionBehaviour behaviour = kWrap) {
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

void ExpectOneLine(const RecordingLog& log, Kvr::LogLevel level, const std::string& text) {
    const auto records = log.Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Level, level);
    EXPECT_EQ(records[0].Text, text);
    EXPECT_EQ(records[0].File, HandlerFile);
    EXPECT_EQ(records[0].Function, HandlerFunction);
    EXPECT_GT(records[0].Line, 0);
    EXPECT_TRUE(records[0].ExceptionType.empty());
}

// Native errors: the std::exception family, the retrievers' invalid-argument
// errors among them; logged with their description and raised again as a new
// KvrException carrying the description alone.
TEST(ItemHandler, NativeErrorsBecomeNewKvrExceptionWithTheirDescription) {
    struct ResultLike : std::exception {
        const char* what() const noexcept override { return "file.cpp(12)\\mod!0x1: Exception(1) 80070005"; }
    };
    const std::vector<std::exception_ptr> natives = {
        std::make_exception_ptr(ResultLike()),
        std::make_exception_ptr(std::invalid_argument("Invalid device id : 7")),
        std::make_exception_ptr(std::out_of_range("stoul")),
    };
    for (const auto& native : natives) {
        RecordingLog log;
        const auto raised = RunExpectingKvr(Throwing(native), log);
        const auto* kvr = Address<Kvr::KvrException>(raised);
        ASSERT_NE(kvr, nullptr);
        const std::string description = Address<std::exception>(native)->what();
        EXPECT_EQ(kvr->Message(), description);
        EXPECT_FALSE(kvr->InnerExceptionPtr());
        ExpectOneLine(log, Kvr::LogLevel::Error, "Native exception : " + description);
    }
}

TEST(ItemHandler, KvrExceptionIsLoggedAndTheSameObjectReachesTheCaller) {
    RecordingLog log;
    const auto original = std::make_exception_ptr(Kvr::KvrException("retriever gave up"));
    const auto raised = RunExpectingKvr(Throwing(original), log);
    EXPECT_EQ(Address<Kvr::KvrException>(raised), Address<Kvr::KvrException>(original));
    ExpectOneLine(log, Kvr::LogLevel::Error, "KVR Exception : retriever gave up");
}

TEST(ItemHandler, NotSupportedIsWrappedWithTheSameObjectAsInnerAndOneTraceLine) {
    RecordingLog log;
    const auto original = std::make_exception_ptr(Kvr::NotSupportedException("no NVMe here"));
    const auto raised = RunExpectingKvr(Throwing(original), log, kWrap);
    const auto* kvr = Address<Kvr::KvrException>(raised);
    ASSERT_NE(kvr, nullptr);
    EXPECT_EQ(kvr->InnerException(), Address<Kvr::Exception>(original));
    EXPECT_EQ(kvr->Message(), "no NVMe here");
    ExpectOneLine(log, Kvr::LogLevel::Trace, "Not Supported Exception : no NVMe here");
}

TEST(ItemHandler, NotSupportedUnderReThrowLeavesUnchangedAndUnlogged) {
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

// Every other host error, the missing item id and the duplicate key among them.
TEST(ItemHandler, OtherHostErrorsAreLoggedAndWrapped) {
    const std::vector<std::exception_ptr> errors = {
        std::make_exception_ptr(Kvr::ArgumentOutOfRangeException("cannot find data with specific ID: Disk_9")),
        std::make_exception_ptr(
            Kvr::ArgumentException("An item with the same key has already been added. Key: Disk_")),
        std::make_exception_ptr(Kvr::Exception("plain")),
    };
    for (const auto& error : errors) {
        RecordingLog log;
        const auto raised = RunExpectingKvr(Throwing(error), log);
        const auto* kvr = Address<Kvr::KvrException>(raised);
        ASSERT_NE(kvr, nullptr);
        const auto* inner = Address<Kvr::Exception>(error);
        EXPECT_EQ(kvr->InnerException(), inner);
        ExpectOneLine(log, Kvr::LogLevel::Error, "Exception : " + inner->Message());
    }
}

TEST(ItemHandler, AnythingElseBecomesUnknownException) {
    RecordingLog log;
    const auto raised = RunExpectingKvr(Throwing(std::make_exception_ptr(42)), log);
    const auto* kvr = Address<Kvr::KvrException>(raised);
    ASSERT_NE(kvr, nullptr);
    EXPECT_EQ(kvr->Message(), "Unknown exception");
    EXPECT_FALSE(kvr->InnerExceptionPtr());
    ExpectOneLine(log, Kvr::LogLevel::Error, "Unknown exception");
}

TEST(ItemHandler, EachCategoryLogsFromItsOwnStatement) {
    const std::vector<std::exception_ptr> oneOfEach = {
        std::make_exception_ptr(std::runtime_error("n")), std::make_exception_ptr(Kvr::KvrException("k")),
        std::make_exception_ptr(Kvr::NotSupportedException("s")), std::make_exception_ptr(Kvr::Exception("e")),
        std::make_exception_ptr(1)};
    std::vector<int> lines;
    for (const auto& error : oneOfEach) {
        RecordingLog log;
        RunExpectingKvr(Throwing(error), log);
        ASSERT_EQ(log.Count(), 1u);
        lines.push_back(log.Records()[0].Line);
    }
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(std::adjacent_find(lines.begin(), lines.end()), lines.end());
}

TEST(ItemHandler, SourceFileAndFunctionDoNotDependOnT) {
    RecordingLog log;
    const Kvr::CancellationToken noToken;
    EXPECT_THROW((ItemHandler<int>::ExecuteHandlingException(
                     [](const std::optional<std::string>&) -> int { throw std::runtime_error("x"); }, std::nullopt,
                     kWrap, log, noToken)),
                 Kvr::KvrException);
    ExpectOneLine(log, Kvr::LogLevel::Error, "Native exception : x");
}

TEST(ItemHandler, CancelledTokenRaisesBeforeTheDelegateAndLogsNothing) {
    std::stop_source source;
    source.request_stop();
    for (const auto behaviour : {kWrap, kReThrow}) {
        RecordingLog log;
        bool ran = false;
        const auto delegate = [&](const std::optional<std::string>&) -> Items {
            ran = true;
            throw std::runtime_error("must not run");
        };
        EXPECT_THROW(Handle(delegate, log, behaviour, source.get_token()), Kvr::OperationCanceledException);
        EXPECT_FALSE(ran);
        EXPECT_EQ(log.Count(), 0u);
    }
}

TEST(ItemHandler, AbsentOrUncancelledTokenLetsTheDelegateRunWithTheItemId) {
    std::stop_source source;
    for (const Kvr::CancellationToken& token : {Kvr::CancellationToken{}, Kvr::CancellationToken{source.get_token()}}) {
        RecordingLog log;
        std::optional<std::string> seen;
        const auto delegate = [&](const std::optional<std::string>& itemId) -> Items {
            seen = itemId;
            Message message;
            message.set_value("payload");
            return std::vector<Kvr::DatatypeItem<Message>>{{message, "Disk_A", Kvr::CollectionTime{}}};
        };
        const auto items = Handle(delegate, log, kWrap, token, std::string("Disk_A"));
        EXPECT_EQ(seen, "Disk_A");
        ASSERT_TRUE(items.has_value());
        ASSERT_EQ(items->size(), 1u);
        EXPECT_EQ(items->front().ItemId(), "Disk_A");
        EXPECT_EQ(items->front().Message().value(), "payload");
        EXPECT_EQ(log.Count(), 0u);
    }
}

TEST(ItemHandler, NoListStaysNoListAndEmptyStaysEmpty) {
    RecordingLog log;
    EXPECT_FALSE(Handle([](const std::optional<std::string>&) -> Items { return std::nullopt; }, log).has_value());
    const auto empty = Handle([](const std::optional<std::string>&) -> Items { return Items::value_type{}; }, log);
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->empty());
    EXPECT_EQ(log.Count(), 0u);
}

// A log that fails must not change what the caller sees.
TEST(ItemHandler, AFailingLogDoesNotChangeTheOutcome) {
    class BrokenLog final : public Kvr::IKvrLog {
    protected:
        void Write(Kvr::LogLevel, std::string_view, int, std::string_view, std::string_view) override {
            throw std::runtime_error("disk full");
        }
        void WriteException(const Kvr::Exception&, int, std::string_view, std::string_view) override {
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
