// The core's time on large installations, on the in-memory machine: reading SETUP.INF with its
// file list and building the removal lists must grow linearly with the number of files.

#include <benchmark/benchmark.h>

#include "app/uninst_app.h"
#include "platform/sim/sim_machine.h"

namespace {

CString LargeSetupInf(int files) {
    CString text = "[SetupOptions]\r\nAppName=Bench\r\n[Files]\r\n";
    for (int i = 0; i < files; ++i) {
        text += "1,2,DATA\\FILE" + std::to_string(i) + ".DAT,%apppath%\\DIR" + std::to_string(i % 500) + "\\FILE" +
                std::to_string(i) + ".DAT\r\n";
    }
    text += "1,2,SETUPPEL\\uninst.exe,%apppath%\\UNINST\\uninst.exe\r\n[UnInstall]\r\n";
    for (int i = 0; i < files; ++i) {
        text += "%apppath%\\DIR" + std::to_string(i % 500) + "\\FILE" + std::to_string(i) + ".DAT\r\n";
    }
    return text;
}

void BM_LoadAndRemoveFiles(benchmark::State& state) {
    const int files = static_cast<int>(state.range(0));
    const CString text = LargeSetupInf(files);
    for (auto _ : state) {
        state.PauseTiming();
        SimMachine machine;
        machine.files().AddFile("C:\\App\\UNINST\\SETUP.INF", text);
        machine.registry().SetString(kLocalMachine, "SOFTWARE\\Tallowmere\\UNINST\\Bench", "", "C:\\App");
        CUninstApp app(machine.platform());
        state.ResumeTiming();
        app.LoadSetupInfo(machine.platform().files.OpenForReading("C:\\App\\UNINST\\SETUP.INF"));
        app.ReadInstallRecord();
        benchmark::DoNotOptimize(app.FindFileLine("SETUPPEL\\uninst.exe"));
        app.RemoveFiles();
        app.RemoveDirectories();
    }
    state.SetComplexityN(files);
}
BENCHMARK(BM_LoadAndRemoveFiles)->Arg(20000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
