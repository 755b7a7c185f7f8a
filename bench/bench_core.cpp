// The outline core on large inputs: decoding, reading and saving the
// huge-bodies outline against plain conversions of the same bytes, and
// reading time against outline size and depth.
#include "bench/benchdata.h"
#include "bench/iconvdecoder.h"

#include "file/atomicwrite.h"
#include "file/cp932.h"
#include "file/outlinereader.h"
#include "file/outlinewriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <map>

namespace {

// 2049 categories with about 40 MB of body text: the size of the largest
// outline the start-up comparison opens.
const QByteArray &hugeBodies()
{
    static const QByteArray bytes =
            benchdata::makeOutlineBytes({.categories = 2049, .bodyBytes = 40'000'000});
    return bytes;
}

const QTemporaryDir &scratch()
{
    static const QTemporaryDir dir;
    if (!dir.isValid())
        qFatal("bench_core: no temporary folder: %s", qPrintable(dir.errorString()));
    return dir;
}

// Outlines of the scaling runs, made once each: generating 100 MB takes longer
// than reading it.
const QByteArray &outlineOfSize(qsizetype mebibytes)
{
    static std::map<qsizetype, QByteArray> made;
    auto found = made.find(mebibytes);
    if (found == made.end()) {
        benchdata::OutlineRecipe recipe;
        recipe.bodyBytes = mebibytes * benchdata::MiB;
        found = made.emplace(mebibytes, benchdata::makeOutlineBytes(recipe)).first;
    }
    return found->second;
}

// The chain and the flat outline: same count of categories, same bodies.
const QByteArray &shapedOutline(benchdata::Shape shape)
{
    static std::map<benchdata::Shape, QByteArray> made;
    auto found = made.find(shape);
    if (found == made.end()) {
        benchdata::OutlineRecipe recipe;
        recipe.categories = 2048;
        recipe.bodyBytes = 2048 * 1024;
        recipe.shape = shape;
        found = made.emplace(shape, benchdata::makeOutlineBytes(recipe)).first;
    }
    return found->second;
}

void requireRead(benchmark::State &state, const ReadResult &result)
{
    if (!result.ok())
        state.SkipWithError(qPrintable(QStringLiteral("read failed at line %1: %2")
                                               .arg(result.error->line)
                                               .arg(result.error->message)));
}

void decodeIconv(benchmark::State &state)
{
    const QByteArray &bytes = hugeBodies();
    const IconvDecoder decoder;
    for (auto _ : state) {
        const QString text = decoder.decode(bytes);
        if (text.isNull())
            state.SkipWithError("iconv refused the bytes");
        benchmark::DoNotOptimize(text.constData());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void decodeOurs(benchmark::State &state)
{
    const QByteArray &bytes = hugeBodies();
    for (auto _ : state) {
        const QString text = cp932::decode(bytes);
        benchmark::DoNotOptimize(text.constData());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void readHuge(benchmark::State &state)
{
    const QByteArray &bytes = hugeBodies();
    for (auto _ : state) {
        const ReadResult result = readOutline(bytes);
        requireRead(state, result);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void saveOutline(benchmark::State &state)
{
    const ReadResult read = readOutline(hugeBodies());
    requireRead(state, read);
    const QString path = scratch().filePath(QStringLiteral("saved.svk"));
    qsizetype written = 0;
    for (auto _ : state) {
        const QByteArray bytes = writeOutline(read.outline);
        if (const auto error = writeFileAtomically(path, bytes))
            state.SkipWithError(qPrintable(error->message));
        written = bytes.size();
    }
    state.SetBytesProcessed(state.iterations() * written);
}

// What any save must do at least: encode the same text, write it, and wait
// for the disk.
void saveBaseline(benchmark::State &state)
{
    const QString text = cp932::decode(hugeBodies());
    const QByteArray path = QFile::encodeName(scratch().filePath(QStringLiteral("plain.svk")));
    for (auto _ : state) {
        const QByteArray bytes = cp932::encode(text);
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        bool ok = fd >= 0;
        for (qsizetype done = 0; ok && done < bytes.size();) {
            const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
            ok = n > 0;
            done += n;
        }
        ok = ok && ::fsync(fd) == 0;
        if (fd >= 0)
            ::close(fd);
        if (!ok)
            state.SkipWithError("plain write failed");
    }
    state.SetBytesProcessed(state.iterations() * hugeBodies().size());
}

void readScaling(benchmark::State &state)
{
    const QByteArray &bytes = outlineOfSize(state.range(0));
    for (auto _ : state) {
        const ReadResult result = readOutline(bytes);
        requireRead(state, result);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void readShaped(benchmark::State &state, benchdata::Shape shape)
{
    const QByteArray &bytes = shapedOutline(shape);
    for (auto _ : state) {
        const ReadResult result = readOutline(bytes);
        requireRead(state, result);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

} // namespace

BENCHMARK(decodeIconv)->Unit(benchmark::kMillisecond);
BENCHMARK(decodeOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(readHuge)->Unit(benchmark::kMillisecond);
BENCHMARK(saveBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(saveOutline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(readScaling)->Arg(1)->Arg(10)->Arg(40)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readShaped, flat, benchdata::Shape::Flat)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readShaped, chain, benchdata::Shape::Chain)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
