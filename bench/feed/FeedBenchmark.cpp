// Receiving a large alarm feed as the tray program does (alarms, and a key for each guid), for a
// plain feed against libxml2 merely parsing and freeing the same bytes, and for a hostile feed
// of the same size whose texts are long runs of combining marks. Prints hostile_vs_plain_ratio,
// then, as the last line, feed_vs_libxml2_ratio=<ours / bare libxml2>.

#include "base/UnicodeText.h"
#include "core/APIClient.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <libxml/parser.h>
#include <map>
#include <string>
#include <vector>

namespace {

// 10,000 items of about 350 bytes: 3.5 MB, in the shape the service sends.
const QByteArray& plainFeed()
{
    static const QByteArray bytes = [] {
        QByteArray out =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>"
            "<title>T-O-VO alarms</title><link>https://www.tovo.example</link>\n";
        static const char* const levels[] = {"Critical", "Major", "Minor",
                                             "Resolved", "Okay",  "Closed"};
        for (int i = 0; i < 10000; ++i) {
            const QByteArray n = QByteArray::number(i);
            out += "<item><title>server-" + n + ".example.net: " + levels[i % 6] +
                   "</title><description>Agent: checker Resource: /var/lib/data/volume-" + n +
                   "&lt;br&gt;Disk usage above 95% on volume " + n +
                   "\nsince 10:02 (threshold 90%)&lt;br&gt;Details follow</description>"
                   "<pubDate>Sun, 06 Dec 2026 10:02:00 +0000</pubDate>"
                   "<guid isPermaLink=\"false\">3F2504E0-4F89-11D3-9A0C-" +
                   n.rightJustified(12, '0') + "</guid></item>\n";
        }
        return out + "</channel></rss>\n";
    }();
    return bytes;
}

// As large, and as costly to compare as texts can be made: feed-exception titles (so that their
// agent is compared) and guids made of runs of combining marks in the reverse of their canonical
// order, after letters that decompose into three code points. Descriptions are empty.
const QByteArray& hostileFeed()
{
    static const QByteArray bytes = [] {
        const QByteArray marks =
            QString(QString(4000, QChar(0x301)) + QString(4000, QChar(0x316))).toUtf8();
        const QByteArray letters = QString(2000, QChar(0x1fb)).toUtf8();
        QByteArray out =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>";
        while (out.size() < plainFeed().size())
            out += "<item><title>T-O-VO Feed Exception" + marks + "</title><description/><guid>" +
                   letters + marks + "</guid></item>\n";
        return out + "</channel></rss>\n";
    }();
    return bytes;
}

void receiveFeed(benchmark::State& state, const QByteArray& (*feed)())
{
    for (auto _ : state) {
        const AlarmList alarms = APIClient::parseAlarmFeed(feed());
        for (const AlarmPtr& alarm : alarms)
            benchmark::DoNotOptimize(UnicodeText::canonical(alarm->alarmGuid()));
    }
    state.SetBytesProcessed(state.iterations() * feed().size());
}

void bareLibxml2(benchmark::State& state)
{
    const QByteArray& feed = plainFeed();
    for (auto _ : state) {
        xmlDocPtr doc =
            xmlReadMemory(feed.constData(), static_cast<int>(feed.size()), nullptr, nullptr,
                          XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
    }
    state.SetBytesProcessed(state.iterations() * feed.size());
}

// Repetitions, interleaved at random (see main): each round runs each once, close together in
// time, so a round's ratios are little affected by other work on the machine; the median round
// is reported.
BENCHMARK_CAPTURE(receiveFeed, plain, plainFeed)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.2)
    ->Repetitions(15);
BENCHMARK_CAPTURE(receiveFeed, hostile, hostileFeed)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.2)
    ->Repetitions(15);
BENCHMARK(bareLibxml2)->Unit(benchmark::kMillisecond)->MinTime(0.2)->Repetitions(15);

// Prints as usual and keeps each benchmark's CPU times per iteration, one per repetition.
class Recorder : public benchmark::ConsoleReporter {
public:
    Recorder()
        : ConsoleReporter(OO_None)
    {} // plain text: the output is read by scripts
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration)
                times[run.run_name.function_name].push_back(run.GetAdjustedCPUTime());
        }
    }
    std::map<std::string, std::vector<double>> times;
};

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The median over rounds of `a`'s time divided by `b`'s.
double medianRatio(const std::vector<double>& a, const std::vector<double>& b)
{
    std::vector<double> ratios;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        ratios.push_back(a[i] / b[i]);
    return median(ratios);
}

} // namespace

int main(int argc, char** argv)
{
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> arguments = {argv[0], interleave};
    for (int i = 1; i < argc; ++i)
        arguments.push_back(argv[i]);
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    std::printf("feeds: %lld bytes plain, %lld bytes hostile\n",
                static_cast<long long>(plainFeed().size()),
                static_cast<long long>(hostileFeed().size()));
    Recorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    benchmark::Shutdown();
    const std::vector<double>& plain = recorder.times["receiveFeed/plain"];
    const std::vector<double>& hostile = recorder.times["receiveFeed/hostile"];
    const std::vector<double>& bare = recorder.times["bareLibxml2"];
    std::printf("plain feed: %.3f ms CPU (median)\nhostile feed: %.3f ms CPU (median)\n"
                "bare libxml2: %.3f ms CPU (median)\n",
                median(plain), median(hostile), median(bare));
    std::printf("hostile_vs_plain_ratio=%.3f\n", medianRatio(hostile, plain));
    std::printf("feed_vs_libxml2_ratio=%.3f\n", medianRatio(plain, bare));
    return 0;
}
