#include "app/usage.h"

#include <clocale>
#include <cstdio>
#include <iconv.h>
#include <langinfo.h>
#include <strings.h>

static const char kUsageText[] =
    "使い方:\n"
    "[キー]\n"
    "1:\tランダムなマップを生成\n"
    "2:\t格子状のマップを生成\n"
    "f:\tランダムな点間のルートを生成\n"
    "Q,ESC:\t終了\n"
    "\n"
    "[マウス]\n"
    "クリック:\t頂点生成\n"
    "右クリック:\tマーク解除\n"
    "CTRL+クリック:\t一番近い頂点をマークし、別にマーク済みの頂点があれば、それと連結する\n"
    "SHIFT+クリック:\t一番近い頂点をゴールに設定\n"
    "ALT+クリック:\t一番近い頂点をスタートに設定\n";

static bool isJapaneseMultibyte(const char* codeset)
{
    static const char* const kNames[] = {"SHIFT_JIS", "SHIFT-JIS", "SJIS", "CP932",
                                         "WINDOWS-31J", "MS932", "EUC-JP", "EUCJP"};
    for (const char* name : kNames)
        if (strcasecmp(codeset, name) == 0)
            return true;
    return false;
}

static bool convertFromUtf8(const char* codeset, std::string& out)
{
    iconv_t converter = iconv_open(codeset, "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string input = kUsageText;
    out.assign(input.size() * 2, '\0'); // no character grows in these sets
    char* in = input.data();
    char* to = out.data();
    std::size_t inLeft = input.size();
    std::size_t outLeft = out.size();
    const bool done = iconv(converter, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    out.resize(out.size() - outLeft);
    return done && inLeft == 0;
}

std::string usageTextFor(const char* codeset)
{
    std::string converted;
    if (codeset != nullptr && isJapaneseMultibyte(codeset) && convertFromUtf8(codeset, converted))
        return converted;
    return kUsageText;
}

void writeUsage()
{
    // Only the character set is taken from the environment, and only for this.
    setlocale(LC_CTYPE, "");
    const std::string text = usageTextFor(nl_langinfo(CODESET));
    setlocale(LC_CTYPE, "C");
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}
