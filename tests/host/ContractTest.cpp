// The host contract's working parts: errors and their inner errors and GUID
// text. The plug-in base, the collection method table and the error chain's
// text are run by storcoll's tests.
#include <stdexcept>

#include <gtest/gtest.h>

#include "kvr/Exceptions.h"
#include "kvr/Guid.h"

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

}  // namespace
