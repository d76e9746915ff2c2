// The markup engine over any text, with fixed metrics: assembling the line
// list, entities, colours, the plain text, the layout (with and without
// clipping) in random rectangles and styles, and the vertical alignment.
// Every layout ends, its lines stack downward, and its words come from the text.
#include <fuzzer/FuzzedDataProvider.h>

#include <QGuiApplication>

#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "widgets/markupengine.h"

using namespace markup;

namespace {

class FixedMeasure : public ITextMeasure {
public:
    FixedMeasure(int charWidth, int height) : charWidth_(charWidth), height_(height) {}
    int textWidth(const QFont&, const QString& text) const override { return charWidth_ * static_cast<int>(text.size()); }
    int textHeight(const QFont&) const override { return height_; }

private:
    int charWidth_, height_;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static int argc = 1;
    static char name[] = "fuzz_markup";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit Qt's own statics may already be gone.
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const QRect rect(in.ConsumeIntegralInRange(-100, 100), in.ConsumeIntegralInRange(-100, 100),
                     in.ConsumeIntegralInRange(-10, 2000), in.ConsumeIntegralInRange(-10, 500));
    const FixedMeasure measure(in.ConsumeIntegralInRange(0, 20), in.ConsumeIntegralInRange(0, 40));
    BaseStyle base;
    base.font.setPointSize(in.ConsumeIntegralInRange(1, 72));
    base.color = QColor(in.ConsumeIntegral<std::uint8_t>(), in.ConsumeIntegral<std::uint8_t>(), 0x80);
    base.lineSpacing = in.ConsumeIntegralInRange(0, 40);
    const bool clip = in.ConsumeBool();
    const auto valign = static_cast<TVAlignment>(in.ConsumeIntegralInRange(0, 2));
    const std::string bytes = in.ConsumeRemainingBytesAsString();
    const QString raw = QString::fromUtf8(bytes);

    const QString text = assemble(raw.split(u'\n'));
    const QString plain = plainText(text);
    for (const QString& word : text.split(u' ')) {
        (void)decodeEntities(word);
        (void)parseColor(word.toUpper());
    }

    const Block block = layout(text, rect, base, measure, clip);
    FUZZ_CHECK(block.lines.size() <= static_cast<std::size_t>(text.size()) + 1, "more lines than characters");
    int top = block.lines.empty() ? 0 : block.lines.front().top;
    for (const Line& line : block.lines) {
        FUZZ_CHECK(line.top >= top, "lines out of order");
        top = line.top;
        FUZZ_CHECK(line.height >= 0, "negative line height");
        for (const Run& run : line.runs) {
            FUZZ_CHECK(run.width >= 0, "negative word width");
            // A word drawn is a word of the text as a reader hears it.
            const QString word = run.text.simplified();
            FUZZ_CHECK(plain.simplified().contains(word), "the word \"" + word.toStdString() + "\" is not in \"" +
                                                 plain.toStdString() + "\"");
        }
    }
    const QRect aligned = alignedRect(rect, block.height, valign);
    if (block.height > rect.height()) FUZZ_CHECK(aligned.top() == rect.top(), "a tall block left the top");
    (void)layout(text, aligned, base, measure, !clip);
    return 0;
}
