// bench/pauses.awk, which takes the pauses out of the whole-road figures:
// Wine relay traces built line by line, each trace named for the mistake
// that would put work into a pause or leave a pause in the work.
#include <gtest/gtest.h>

#include "tool_run.h"

namespace {

struct TraceCase {
  const char* name;
  const char* trace;
  const char* pauses;  // PID START END lines, in trace order
};

const TraceCase kCases[] = {
    {"a sleep runs from its call to its return, in milliseconds",
     "6387.995:0120:0124:Call KERNEL32.Sleep(000001f4) ret=004058b0\n"
     "6388.496:0120:0124:Ret  KERNEL32.Sleep() retval=00000000 ret=004058b0\n",
     "0120 6387995 6388496\n"},
    {"a poll shorter than 500 ms waits for work and is no pause",
     "10.000:0120:0124:Call KERNEL32.Sleep(000000c8) ret=004058b0\n"
     "10.200:0120:0124:Ret  KERNEL32.Sleep() retval=00000000 ret=004058b0\n",
     ""},
    {"a timer runs from SetTimer to the KillTimer of its window and id",
     "10.000:01d8:01dc:Call user32.SetTimer(0002004c,00000001,000001f4,00000000) ret=004026cb\n"
     "10.000:01d8:01dc:Ret  user32.SetTimer() retval=00000001 ret=004026cb\n"
     "10.300:01d8:01dc:Call user32.KillTimer(0002004c,00000002) ret=0040244b\n"
     "10.400:01d8:01dc:Call user32.KillTimer(0002004d,00000001) ret=0040244b\n"
     "10.501:01d8:01dc:Call user32.KillTimer(0002004c,00000001) ret=0040244b\n"
     "11.000:01d8:01dc:Call user32.KillTimer(0002004c,00000001) ret=0040244b\n",
     "01d8 10000 10501\n"},
    {"a timer of period 0 fires at once: no pause",
     "10.000:01d8:01dc:Call user32.SetTimer(0002004c,00000001,00000000,00000000) ret=00401bbc\n"
     "10.011:01d8:01dc:Call user32.KillTimer(0002004c,00000001) ret=0040244b\n",
     ""},
    {"the periods of 2000 and 5000 ms read as hexadecimal, upper case too",
     "10.000:01f8:01fc:Call user32.SetTimer(00020044,00000001,000007D0,00000000) ret=00404281\n"
     "12.001:01f8:01fc:Call user32.KillTimer(00020044,00000001) ret=0040439d\n"
     "20.000:0200:0204:Call KERNEL32.Sleep(00001388) ret=00401000\n"
     "25.000:0200:0204:Ret  KERNEL32.Sleep() retval=00000000 ret=00401000\n",
     "01f8 10000 12001\n0200 20000 25000\n"},
    {"sleeps of two processes and two threads overlap without mixing",
     "1.000:0120:0124:Call KERNEL32.Sleep(000003e8) ret=00401000\n"
     "1.100:0130:0134:Call KERNEL32.Sleep(000001f4) ret=00401000\n"
     "1.200:0120:0128:Call KERNEL32.Sleep(000001f4) ret=00401000\n"
     "1.600:0130:0134:Ret  KERNEL32.Sleep() retval=00000000 ret=00401000\n"
     "1.700:0120:0128:Ret  KERNEL32.Sleep() retval=00000000 ret=00401000\n"
     "2.000:0120:0124:Ret  KERNEL32.Sleep() retval=00000000 ret=00401000\n",
     "0130 1100 1600\n0120 1200 1700\n0120 1000 2000\n"},
    {"the trace's other lines are passed over",
     "1.000:0120:0124:trace:relay:load_list L\"RelayInclude\" = L\"kernel32.Sleep\"\n"
     "1.001:0120:0124:Call PE DLL (proc=7BC69420,module=7BC00000 L\"ntdll.dll\",reason=PROCESS_ATTACH,res=0060FD24)\n"
     "1.002:0120:0124:Call window proc 688A2120 (hwnd=00020036,msg=WM_TIMER,wp=00000001,lp=00000000)\n"
     "1.003:0120:0124:Ret  KERNEL32.Sleep() retval=00000000 ret=00401000\n"
     "wine: a line without a time\n",
     ""},
};

TEST(BenchPauses, TracesOfEveryKind) {
  for (const TraceCase& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir work;
    WriteText(work / "trace", c.trace);
    ToolRun run = Sh("awk -f " + Quote(std::string(SFX_SOURCE_DIR) + "/bench/pauses.awk") + " " + Quote(work / "trace"));
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, c.pauses);
  }
}

}  // namespace
