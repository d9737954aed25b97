#include "platform/engine/EngineProfile.h"

#include <gtest/gtest.h>

namespace {

const QString kEngineAgent = QStringLiteral(
    "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/102.0 Safari/537.36");

struct AgentCase { const char *name; QString base; QStringList tokens; QString expected; };

const AgentCase kAgentCases[] = {
    {"no tokens leave the agent alone", kEngineAgent, {}, kEngineAgent},
    {"one token goes after the platform", kEngineAgent, {QStringLiteral("Vorlan 2.40.164")},
     QStringLiteral("Mozilla/5.0 (X11; Linux x86_64; Vorlan 2.40.164) AppleWebKit/537.36 (KHTML, like Gecko) "
                    "Chrome/102.0 Safari/537.36")},
    {"several tokens keep their order", kEngineAgent,
     {QStringLiteral("Vorlan 2.39.100"), QStringLiteral("Vorlan 2.40.164")},
     QStringLiteral("Mozilla/5.0 (X11; Linux x86_64; Vorlan 2.39.100; Vorlan 2.40.164) AppleWebKit/537.36 "
                    "(KHTML, like Gecko) Chrome/102.0 Safari/537.36")},
    {"a base without a comment gets one", QStringLiteral("Agent/1.0"), {QStringLiteral("Vorlan 2.40.164")},
     QStringLiteral("Agent/1.0 (Vorlan 2.40.164)")},
    {"an empty base gives the comment alone", QString(), {QStringLiteral("A")}, QStringLiteral("(A)")},
    {"an empty comment takes the token without a separator", QStringLiteral("Agent/1.0 () Tail"),
     {QStringLiteral("A")}, QStringLiteral("Agent/1.0 (A) Tail")},
    {"line breaks cannot split the header", kEngineAgent, {QStringLiteral("Bad\r\nX-Injected: 1")},
     QStringLiteral("Mozilla/5.0 (X11; Linux x86_64; BadX-Injected: 1) AppleWebKit/537.36 (KHTML, like Gecko) "
                    "Chrome/102.0 Safari/537.36")},
    {"parentheses cannot close the comment early", QStringLiteral("Agent/1.0 (X11)"),
     {QStringLiteral("Evil) Other/1 (x")}, QStringLiteral("Agent/1.0 (X11; Evil Other/1 x)")},
    {"non-ASCII letters are dropped", QStringLiteral("Agent/1.0 (X11)"), {QStringLiteral("Příliš 1")},
     QStringLiteral("Agent/1.0 (X11; Pli 1)")},
    {"blank and empty tokens are skipped", QStringLiteral("Agent/1.0 (X11)"),
     {QString(), QStringLiteral("   "), QStringLiteral("\t"), QStringLiteral("  A   B  ")},
     QStringLiteral("Agent/1.0 (X11; A B)")},
    {"a token given twice appears once", QStringLiteral("Agent/1.0 (X11)"),
     {QStringLiteral("Vorlan 1"), QStringLiteral("VORLAN 1")}, QStringLiteral("Agent/1.0 (X11; Vorlan 1)")},
};

} // namespace

TEST(UserAgentWithTokens, AddsPostPlatformTokensInsideThePlatformComment)
{
    for (const AgentCase &c : kAgentCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(userAgentWithTokens(c.base, c.tokens).toStdString(), c.expected.toStdString());
    }
}
