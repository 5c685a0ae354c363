#include "entity/ZDialogText.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "entity/ZConditions.h"
#include "entity/ZDatum.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZEntity.h"
#include "entity/ZLocProxyComponent.h"
#include "foundation/ZHashedString.h"
#include "framework/ZLocFormat.h"
#include "framework/ZLocMgr.h"
#include "input/ZControlMgr.h"

namespace {

std::string NotFound(const std::string& operand) { return "['" + operand + "' not found]"; }

std::string Str(const ZString& text) { return std::string(text.GetText(), static_cast<size_t>(text.GetLength())); }

ZHashedString Hashed(const std::string& text) { return ZHashedString(text.c_str()); }

bool SameNoCase(const std::string& text, const char* word) { return ZString(text.c_str()).EqualsNoCase(word); }

std::string Printf(const char* format, const double value) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string LocString(const ZHashedString file, const ZHashedString section, const ZHashedString key) {
    ZLocMgr* loc = ZLocMgr::GetInstance();
    return loc != nullptr ? Str(loc->GetString(file, section, key)) : std::string();
}

// One localised piece of a time ("%d hours "), with its number.
std::string TimePiece(const char* key, const int32_t value) {
    ZLocMgr* loc = ZLocMgr::GetInstance();
    if (loc == nullptr) {
        return std::to_string(value);
    }
    return Str(loc->FormatString(ZHashedString("General"), ZHashedString("DialogHints"), ZHashedString(key), value));
}

std::string Time(const float seconds) {
    const float minutes = seconds / 60.0f;
    const float hours = minutes / 60.0f;
    // Out-of-range times (NaN, huge) have no meaningful pieces; show zeros.
    const auto whole = [](const float value) -> long long {
        return std::isfinite(value) && std::fabs(value) < 9.0e15f ? static_cast<long long>(value) : 0;
    };
    const auto h = static_cast<int32_t>(whole(hours) % 1000000000LL);
    const auto m = static_cast<int32_t>(whole(minutes) % 60);
    const auto s = static_cast<int32_t>(whole(seconds) % 60);
    return TimePiece("Hours", h) + TimePiece("Minutes", m) + TimePiece("Seconds", s);
}

// The replacement of one bracket token.
std::string ExpandBracketToken(ZDialogProviderComponent* provider, const std::string& token) {
    const size_t colon = token.find(':');
    const std::string operand = colon == std::string::npos ? token : token.substr(0, colon);
    const std::string format = colon == std::string::npos ? std::string() : token.substr(colon + 1);
    if (SameNoCase(format, "loc")) {
        // Without a loc proxy the key is looked up under the empty section.
        const ZHashedString key = Hashed(operand);
        ZHashedString section("");
        if (ZLocProxyComponent* proxy = FindLocProxy(provider)) {
            section = proxy->FindSection(key);
        }
        return LocString(GetGameDialogStringFile(), section, key);
    }
    ZDatumEntry value;
    EvaluateOperand(ZString(operand.c_str()), provider->GetHandle(), provider->consumer, value);
    return Str(FormatDialogValue(value, ZString(format.c_str()), ZString(operand.c_str())));
}

}  // namespace

ZString FormatDialogValue(const ZDatumEntry& value, const ZString& format, const ZString& operand) {
    const std::string text = Str(format);
    switch (value.type) {
        case kDatumInt: {
            if (text.empty()) {
                return ZString(std::to_string(value.value.intValue).c_str());
            }
            if (SameNoCase(text, "roman")) {
                return ToRomanNumerals(value.value.intValue);
            }
            ZString out;
            const ZLocFormat::Arg args[] = {ZLocFormat::MakeArg(value.value.intValue)};
            if (ZLocFormat::Format(format, args, 1, false, out)) {
                return out;
            }
            return ZString(std::to_string(value.value.intValue).c_str());
        }
        case kDatumFloat: {
            if (SameNoCase(text, "time")) {
                return ZString(Time(value.value.floatValue).c_str());
            }
            if (!text.empty()) {
                ZString out;
                const ZLocFormat::Arg args[] = {ZLocFormat::MakeArg(static_cast<double>(value.value.floatValue))};
                if (ZLocFormat::Format(format, args, 1, false, out)) {
                    return out;
                }
            }
            return ZString(Printf("%f", static_cast<double>(value.value.floatValue)).c_str());
        }
        case kDatumBool:
            return ZString(value.value.boolValue ? "true" : "false");
        case kDatumString:
            return value.value.string;
        case kDatumHashedString: {
            const char* name = value.value.hashedString.GetText();
            return ZString(name != nullptr ? name : "");
        }
        default:
            return ZString(NotFound(Str(operand)).c_str());
    }
}

ZLocProxyComponent* FindLocProxy(ZRTTIBase* object) { return ResolveComponent<ZLocProxyComponent>(object); }

void ExpandDialogText(ZDialogProviderComponent* provider, ZString& text) {
    // Values need a conversation: with no consumer bound the tokens stay.
    if (provider != nullptr && provider->ResolveConsumer() != nullptr) {
        std::string out = Str(text);
        size_t position = 0;
        for (;;) {
            const size_t open = out.find('[', position);
            if (open == std::string::npos) {
                break;
            }
            const size_t close = out.find(']', open);
            if (close == std::string::npos) {
                break;
            }
            const std::string replacement = ExpandBracketToken(provider, out.substr(open + 1, close - open - 1));
            out = out.substr(0, open) + replacement + out.substr(close + 1);
            position = open + replacement.size();
        }
        text = ZString::FromBytes(out.data(), static_cast<int32_t>(out.size()));
    }
    ExpandBraceTokens(text);
}

void ExpandBraceTokens(ZString& text) {
    static const ZHashedString kImg("img");
    std::string out = Str(text);
    size_t position = 0;
    bool changed = false;
    for (;;) {
        const size_t open = out.find('{', position);
        if (open == std::string::npos) {
            break;
        }
        const size_t close = out.find('}', open);
        if (close == std::string::npos) {
            break;
        }
        const std::string token = out.substr(open + 1, close - open - 1);
        const size_t colon = token.find(':');
        const std::string a = colon == std::string::npos ? token : token.substr(0, colon);
        const std::string b = colon == std::string::npos ? std::string() : token.substr(colon + 1);
        std::string replacement;
        if (Hashed(a) == kImg) {
            const size_t split = b.find(':');
            const std::string x = split == std::string::npos ? b : b.substr(0, split);
            const std::string y = split == std::string::npos ? std::string() : b.substr(split + 1);
            replacement = "<img>" + x + ":" + y + "<img>";
        } else if (ZControlMgr* controls = GetControlMgr()) {
            bool isPad = false;
            replacement = Str(controls->GetBindingDisplayText(isPad, Hashed(a), Hashed(b)));
        }
        out = out.substr(0, open) + replacement + out.substr(close + 1);
        position = open + replacement.size();
        changed = true;
    }
    if (changed) {
        text = ZString::FromBytes(out.data(), static_cast<int32_t>(out.size()));
    }
}
