#include "cli_text.h"

#include <charconv>
#include <regex>
#include <type_traits>
#include <vector>

#include "core/number_text.h"

namespace qv::cli {

CLI::Validator oneOf(std::initializer_list<const char*> names) {
    std::vector<std::string> allowed(names.begin(), names.end());
    std::string list;
    for (const std::string& name : allowed)
        list += (list.empty() ? "" : "、") + name;
    return CLI::Validator(
        [allowed, list](std::string& value) -> std::string {
            for (const std::string& name : allowed)
                if (value == name) return {};
            return "須為 " + list + " 之一，讀到「" + value + "」";
        },
        list);
}

CLI::Validator numberBetween(double low, double high) {
    const std::string range = numberText(low) + " 到 " + numberText(high);
    return CLI::Validator(
        [low, high, range](std::string& value) -> std::string {
            double v = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), v);
            if (ec != std::errc() || end != value.data() + value.size())
                return "須為數字，讀到「" + value + "」";
            if (!(v >= low && v <= high)) return "須在 " + range + " 之間，讀到 " + value;
            return {};
        },
        range);
}

CLI::Validator notEmpty() {
    return CLI::Validator(
        [](std::string& value) -> std::string {
            return value.empty() ? "不能是空白，請給一個值或不要使用這個選項" : "";
        },
        "");
}

std::string parseErrorText(const CLI::ParseError& e) {
    const std::string what = e.what();
    const auto is = [&e](auto* type) {
        return dynamic_cast<const std::remove_pointer_t<decltype(type)>*>(&e) != nullptr;
    };
    std::smatch m;
    const bool named = std::regex_search(what, m, std::regex("(--[A-Za-z-]+)"));
    const std::string option = named ? m[1].str() : std::string();
    if (is(static_cast<CLI::ValidationError*>(nullptr)))
        return "錯誤：" + std::regex_replace(what, std::regex(": "), "：",
                                             std::regex_constants::format_first_only);
    if (is(static_cast<CLI::RequiredError*>(nullptr))) {
        if (named) return "錯誤：缺少必要的選項 " + option;
        return "錯誤：請指定一個命令：analyze、summary、report、check、network 或 generate";
    }
    if (is(static_cast<CLI::ExtrasError*>(nullptr))) {
        const auto colon = what.find(": ");
        return "錯誤：無法辨識的參數：" +
               (colon == std::string::npos ? what : what.substr(colon + 2));
    }
    if (is(static_cast<CLI::ArgumentMismatch*>(nullptr)) && named)
        return "錯誤：選項 " + option + " 的值的個數不對";
    if (is(static_cast<CLI::ConversionError*>(nullptr)) && named)
        return "錯誤：選項 " + option + " 的值無法轉換成數字";
    if (is(static_cast<CLI::ExcludesError*>(nullptr)) &&
        std::regex_search(what, m, std::regex("(--[A-Za-z-]+) excludes (--[A-Za-z-]+)")))
        return "錯誤：" + m[1].str() + " 與 " + m[2].str() + " 不能同時使用";
    return "錯誤：命令列參數有誤，請以 --help 查看用法";
}

}  // namespace qv::cli
