#include "CommonCLI/ExceptionSupport.h"

#include <set>
#include <stdexcept>
#include <vector>

#include <google/protobuf/wrappers.pb.h>
#include <gtest/gtest.h>

#include "kvr/DatatypeItem.h"
#include "kvr/host/RecordingLog.h"

namespace {

using Kvr::Host::RecordingLog;
using Talvex::Quorlin::Cpp::Common::ItemHandler;
using Talvex::Quorlin::Cpp::Common::NotSupportedExceptionBehaviour;

using Items = Kvr::DatatypeItemList<google::protobuf::StringValue>;

constexpr auto kWrap = NotSupportedExceptionBehaviour::WrapInKvrException;
constexpr auto kReThrow = NotSupportedExceptionBehaviour::ReThrow;

// Runs a delegate that throws the very object held by `error`, so that what
// reaches the caller can be compared by address.
std::exception_ptr Handle(std::exception_ptr error, Kvr::IKvrLog& log, NotSupportedExceptionBehaviour behaviour)
{
    try {
        ItemHandler<Items>::ExecuteHandlingException(
            [error](const std::optional<std::string>&) -> Items { std::rethrow_exception(error); }, std::nullopt,
            behaviour, log, std::nullopt);
    } catch (...) {
        return std::current_exception();
    }
    ADD_FAILURE() << "the handler returned";
    return nullptr;
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

// Every error the delegate raises leaves as a KvrException after one log line
// of its category, each category from a statement of its own. Native errors
// (the retrievers' invalid-argument errors among them) become a new exception
// with their description; a KvrException leaves as itself; other host errors,
// the missing item id and the duplicate key among them, are wrapped as inner.
// Under ReThrow the not-supported error leaves unchanged and unlogged.
TEST(ItemHandler, EachErrorLeavesAfterItsCategorysLine)
{
    struct ResultLike : std::exception {
        const char* what() const noexcept override { return "file.cpp(12)\\mod!0x1: Exception(1) 80070005"; }
    };
    enum class Leave { New,
                       Same,
                       Wrapped,
                       Unchanged };
    const struct {
        std::exception_ptr Error;
        NotSupportedExceptionBehaviour Behaviour;
        std::string Line;  // "LEVEL text", empty for none
        std::string Message;
        Leave Leaves;
    } rows[] = {
        {std::make_exception_ptr(ResultLike()), kWrap,
         "ERROR Native exception : file.cpp(12)\\mod!0x1: Exception(1) 80070005",
         "file.cpp(12)\\mod!0x1: Exception(1) 80070005", Leave::New},
        {std::make_exception_ptr(std::invalid_argument("Invalid device id : 7")), kWrap,
         "ERROR Native exception : Invalid device id : 7", "Invalid device id : 7", Leave::New},
        {std::make_exception_ptr(Kvr::KvrException("retriever gave up")), kWrap,
         "ERROR KVR Exception : retriever gave up", "retriever gave up", Leave::Same},
        {std::make_exception_ptr(Kvr::NotSupportedException("no NVMe here")), kWrap,
         "TRACE Not Supported Exception : no NVMe here", "no NVMe here", Leave::Wrapped},
        {std::make_exception_ptr(Kvr::NotSupportedException("no NVMe here")), kReThrow, "", "no NVMe here",
         Leave::Unchanged},
        {std::make_exception_ptr(Kvr::ArgumentOutOfRangeException("cannot find data with specific ID: Disk_9")), kWrap,
         "ERROR Exception : cannot find data with specific ID: Disk_9",
         "cannot find data with specific ID: Disk_9", Leave::Wrapped},
        {std::make_exception_ptr(Kvr::ArgumentException("An item with the same key has already been added. Key: D")),
         kWrap, "ERROR Exception : An item with the same key has already been added. Key: D",
         "An item with the same key has already been added. Key: D", Leave::Wrapped},
        {std::make_exception_ptr(42), kWrap, "ERROR Unknown exception", "Unknown exception", Leave::New},
    };
    std::set<int> statements;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Line);
        RecordingLog log;
        const auto raised = Handle(row.Error, log, row.Behaviour);
        const auto* left = Address<Kvr::Exception>(raised);
        ASSERT_NE(left, nullptr);
        EXPECT_EQ(left->Message(), row.Message);
        std::vector<std::string> lines;
        for (const auto& record : log.Records()) {
            lines.push_back(std::string(Kvr::LogLevelName(record.Level)) + " " + record.Text);
            EXPECT_EQ(record.File, "src/cpp/CommonCLI/include/CommonCLI/ExceptionSupport");
            EXPECT_EQ(record.Function,
                      "Talvex::Quorlin::Cpp::Common::ItemHandler<`generic-class-parameter-1'>::ExecuteHandlingException");
            EXPECT_TRUE(record.ExceptionType.empty());
            statements.insert(record.Line);
        }
        EXPECT_EQ(lines, row.Line.empty() ? std::vector<std::string>{} : std::vector<std::string>{row.Line});
        const auto* kvr = dynamic_cast<const Kvr::KvrException*>(left);
        switch (row.Leaves) {
        case Leave::New:
            ASSERT_NE(kvr, nullptr);
            EXPECT_FALSE(kvr->InnerExceptionPtr());
            break;
        case Leave::Same:
            EXPECT_EQ(kvr, Address<Kvr::KvrException>(row.Error));
            break;
        case Leave::Wrapped:
            ASSERT_NE(kvr, nullptr);
            EXPECT_EQ(kvr->InnerException(), Address<Kvr::Exception>(row.Error));
            break;
        case Leave::Unchanged:
            EXPECT_EQ(left, Address<Kvr::Exception>(row.Error));
            break;
        }
    }
    EXPECT_EQ(statements.size(), 5u) << "categories sharing a log statement";
}

TEST(ItemHandler, NoListStaysNoListAndEmptyStaysEmpty)
{
    RecordingLog log;
    const auto run = [&](Items result) {
        return ItemHandler<Items>::ExecuteHandlingException(
            [&](const std::optional<std::string>&) { return result; }, std::nullopt, kWrap, log, std::nullopt);
    };
    EXPECT_FALSE(run(std::nullopt).has_value());
    const auto empty = run(Items::value_type{});
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
    const auto inner = std::make_exception_ptr(Kvr::Exception("inner"));
    const auto left = Handle(inner, log, kWrap);
    const auto* raised = Address<Kvr::KvrException>(left);
    ASSERT_NE(raised, nullptr);
    EXPECT_EQ(raised->InnerException(), Address<Kvr::Exception>(inner));
}

}  // namespace
