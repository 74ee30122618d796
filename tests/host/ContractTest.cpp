// The host contract's working parts: errors and their inner errors, GUID
// text, the plug-in base and the type-erased collection method table.
#include <stdexcept>
#include <stop_token>

#include <google/protobuf/wrappers.pb.h>
#include <gtest/gtest.h>

#include "kvr/BaseCollector.h"
#include "kvr/Registration.h"
#include "kvr/host/ExceptionText.h"
#include "kvr/host/RecordingAgent.h"

namespace {

TEST(Exceptions, InnerErrorIsTheThrownObjectAndSurvivesCopies)
{
    const auto inner = std::make_exception_ptr(Kvr::NotSupportedException("no SMART"));
    std::optional<Kvr::KvrException> outer;
    outer.emplace(inner);
    const Kvr::KvrException copy = *outer;
    outer.reset();

    ASSERT_NE(copy.InnerException(), nullptr);
    EXPECT_EQ(copy.InnerException()->TypeName(), "Kvr::NotSupportedException");
    EXPECT_EQ(copy.InnerException()->Message(), "no SMART");
    EXPECT_EQ(copy.Message(), "no SMART");
    EXPECT_EQ(copy.InnerNativeException(), nullptr);
    try {
        std::rethrow_exception(inner);
    } catch (const Kvr::Exception& thrown) {
        EXPECT_EQ(copy.InnerException(), &thrown);
    }
}

TEST(Exceptions, NativeAndForeignInnerErrors)
{
    const Kvr::KvrException native(std::make_exception_ptr(std::runtime_error("80070005")));
    EXPECT_EQ(native.InnerException(), nullptr);
    ASSERT_NE(native.InnerNativeException(), nullptr);
    EXPECT_STREQ(native.InnerNativeException()->what(), "80070005");
    EXPECT_EQ(native.Message(), "80070005");

    const Kvr::KvrException foreign(std::make_exception_ptr(7));
    EXPECT_EQ(foreign.InnerException(), nullptr);
    EXPECT_EQ(foreign.InnerNativeException(), nullptr);
    EXPECT_EQ(foreign.Message(), "Unknown exception");
}

TEST(Exceptions, ChainTextNamesEveryLevel)
{
    const auto innermost = std::make_exception_ptr(std::runtime_error("E_FAIL"));
    const auto middle = std::make_exception_ptr(Kvr::ArgumentException("bad id", innermost));
    const Kvr::KvrException outer("collection failed", middle);
    EXPECT_EQ(Kvr::Host::ExceptionChainText(outer),
              "Kvr::KvrException: collection failed ---> Kvr::ArgumentException: bad id ---> native error: E_FAIL");
}

TEST(Guid, ParsesRegistryTextAndWritesItBackInUpperCase)
{
    constexpr auto guid = Kvr::Guid::Parse("{6f3b2c1e-8d4a-4E57-9b21-5C7A0D93E4F8}");
    EXPECT_EQ(guid.ToString(), "{6F3B2C1E-8D4A-4E57-9B21-5C7A0D93E4F8}");
    EXPECT_EQ(Kvr::Guid::Parse(guid.ToString()), guid);
}

TEST(Guid, RejectsTextNotInRegistryForm)
{
    for (const char* text : {"6F3B2C1E-8D4A-4E57-9B21-5C7A0D93E4F8", "{6F3B2C1E-8D4A-4E57-9B21-5C7A0D93E4F}",
                             "{6F3B2C1E-8D4A-4E57-9B21_5C7A0D93E4F8}", "{6F3B2C1G-8D4A-4E57-9B21-5C7A0D93E4F8}", ""}) {
        EXPECT_THROW(Kvr::Guid::Parse(text), Kvr::ArgumentException) << text;
    }
}

constexpr auto kTestPluginId = Kvr::Guid::Parse("{00000000-0000-0000-0000-0000000000AB}");

// A plug-in whose one method reports what it was called with.
class EchoPlugin final : public Kvr::BaseCollectorPlugin {
public:
    explicit EchoPlugin(Kvr::IAgent& agent) : BaseCollectorPlugin(agent, "Echo", kTestPluginId) {}

    Kvr::DatatypeItemList<google::protobuf::StringValue> CollectEcho(const std::optional<std::string>& itemId,
                                                                     const Kvr::CancellationToken& token)
    {
        Kvr::ThrowIfCancellationRequested(token);
        if (itemId == "none") {
            return std::nullopt;
        }
        google::protobuf::StringValue message;
        message.set_value(itemId.value_or("<absent>"));
        const Kvr::CollectionTime time{std::chrono::seconds(1700000000)};
        return std::vector<Kvr::DatatypeItem<google::protobuf::StringValue>>{{message, "first", time},
                                                                             {message, "second", time}};
    }

    static constexpr auto CollectionMethods()
    {
        return std::array{Kvr::MakeCollectionMethod<&EchoPlugin::CollectEcho>("CollectEcho")};
    }
};

TEST(BaseCollectorPlugin, AnAgentWithoutLogIsRefused)
{
    struct NoLogAgent final : Kvr::IAgent {
        std::shared_ptr<Kvr::IKvrLog> CreateLog(std::string_view, const Kvr::Guid&) override { return nullptr; }
    } agent;
    EXPECT_THROW(EchoPlugin{agent}, Kvr::ArgumentException);
}

TEST(CollectionMethodTable, InvokerRunsTheMethodAndKeepsItemsInOrder)
{
    constexpr auto methods = EchoPlugin::CollectionMethods();
    static_assert(methods[0].Name == "CollectEcho");
    EXPECT_EQ(methods[0].MessageTypeName(), "google.protobuf.StringValue");

    Kvr::Host::RecordingAgent agent;
    EchoPlugin plugin(agent);
    const auto items = methods[0].Invoke(plugin, std::string("Disk_1"), std::nullopt);
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 2u);
    EXPECT_EQ((*items)[0].ItemId, "first");
    EXPECT_EQ((*items)[1].ItemId, "second");
    EXPECT_EQ((*items)[0].Time, Kvr::CollectionTime{std::chrono::seconds(1700000000)});
    const auto* message = dynamic_cast<const google::protobuf::StringValue*>((*items)[0].Message.get());
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->value(), "Disk_1");

    EXPECT_FALSE(methods[0].Invoke(plugin, std::string("none"), std::nullopt).has_value());

    std::stop_source source;
    source.request_stop();
    EXPECT_THROW(methods[0].Invoke(plugin, std::nullopt, source.get_token()), Kvr::OperationCanceledException);
}

}  // namespace
