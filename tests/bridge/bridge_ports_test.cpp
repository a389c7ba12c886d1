// The two port wrappers on their own, against a real pseudo-terminal pair and the
// simulated camera.
#include "bridge_camera_config.h"
#include "cl_serial_api.h"
#include "cl_serial_port.h"
#include "com_port.h"
#include "pty_rig.h"
#include "pty_rig_command.h"
#include "unique_handle.h"
#include "user_port.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <thread>

using namespace clser;
using namespace clser::test;

namespace {

class ComPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pair_ = std::make_unique<testbed::ScopedPtyPair>("COM22", "TARVCOM22");
        ASSERT_TRUE(pair_->ok()) << pair_->error();
        diag_ = std::tmpfile();
        ComPort::setDiagnosticStream(diag_);
    }
    void TearDown() override
    {
        if (port_.isOpen())
            port_.close();
        ComPort::setDiagnosticStream(nullptr);
        if (diag_)
            std::fclose(diag_);
        pair_.reset();
    }
    std::string diagnostics()
    {
        std::fflush(diag_);
        std::rewind(diag_);
        std::string s;
        char buf[256];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, diag_)) > 0)
            s.append(buf, n);
        return s;
    }

    ComPort port_;
    std::FILE* diag_ = nullptr;
    std::unique_ptr<testbed::ScopedPtyPair> pair_;
};

TEST_F(ComPortTest, MissingPortGivesMinusTwoAndStaysClosed)
{
    EXPECT_EQ(port_.open("\\\\.\\TARVCOM29", LineSettings{}), -2);
    EXPECT_FALSE(port_.isOpen());
}

TEST_F(ComPortTest, OpenSetsTheLineAndTheTimeOuts)
{
    ASSERT_EQ(port_.open("\\\\.\\TARVCOM22", {115200, Parity::even, 7, StopBits::two}), 0);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(port_.handle(), &dcb));
    // A pseudo-terminal keeps 8 data bits and no parity whatever is asked, and has no
    // modem lines to report DTR and RTS by, so only the rest can be read back here.
    EXPECT_EQ(dcb.BaudRate, 115200u);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    EXPECT_TRUE(dcb.fBinary);
    EXPECT_FALSE(dcb.fOutxCtsFlow);
    EXPECT_FALSE(dcb.fOutX);
    EXPECT_FALSE(dcb.fInX);
    COMMTIMEOUTS t{};
    ASSERT_TRUE(GetCommTimeouts(port_.handle(), &t));
    EXPECT_EQ(t.ReadTotalTimeoutConstant, 100u);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, 100u);

    // Each read sets its own time-out; nothing else changes.
    uint8_t buf[16];
    uint32_t got = 99;
    const DWORD start = GetTickCount();
    EXPECT_EQ(port_.read(buf, sizeof buf, got, 250), 0);
    const DWORD took = GetTickCount() - start;
    EXPECT_EQ(got, 0u);
    EXPECT_GE(took, 150u);
    EXPECT_LT(took, 2000u);
    ASSERT_TRUE(GetCommTimeouts(port_.handle(), &t));
    EXPECT_EQ(t.ReadTotalTimeoutConstant, 250u);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, 100u);
    EXPECT_EQ(port_.close(), 0);
    EXPECT_FALSE(port_.isOpen());
}

TEST_F(ComPortTest, BytesCrossBothWays)
{
    ASSERT_EQ(port_.open("\\\\.\\TARVCOM22", LineSettings{}), 0);
    UserPort user;
    ASSERT_TRUE(user.open("COM22"));
    ASSERT_TRUE(user.write("hello"));
    uint8_t buf[64];
    uint32_t got = 0;
    std::string received;
    for (int i = 0; i < 20 && received.size() < 5; ++i) {
        ASSERT_EQ(port_.read(buf, sizeof buf, got, 100), 0);
        received.append(reinterpret_cast<char*>(buf), got);
    }
    EXPECT_EQ(received, "hello");
    uint32_t written = 0;
    EXPECT_EQ(port_.write(reinterpret_cast<const uint8_t*>("world"), 5, written), 0);
    EXPECT_EQ(written, 5u);
    EXPECT_EQ(user.read(5, 1000), "world");
    EXPECT_EQ(diagnostics(), "");
}

TEST_F(ComPortTest, ReadOfArrivedBytesReturnsWithTheFirstBytesOrWhenWoken)
{
    ASSERT_EQ(port_.open("\\\\.\\TARVCOM22", LineSettings{}), 0);
    COMMTIMEOUTS before{};
    ASSERT_TRUE(GetCommTimeouts(port_.handle(), &before));
    UniqueHandle wake(CreateEventA(nullptr, TRUE, FALSE, nullptr));

    // Bytes already there, and bytes that come while the read waits, all in one read.
    UserPort user;
    ASSERT_TRUE(user.open("COM22"));
    uint8_t buf[64];
    uint32_t got = 0;
    for (const bool waiting : {false, true}) {
        if (!waiting) {
            ASSERT_TRUE(user.write("hello"));
        }
        std::thread writer([&] {
            if (waiting) {
                Sleep(200);
                user.write("hello");
            }
        });
        std::string received;
        for (int i = 0; i < 20 && received.size() < 5; ++i) {
            ASSERT_EQ(port_.readArrived(buf, sizeof buf, got, wake.get()), 0);
            received.append(reinterpret_cast<char*>(buf), got);
        }
        writer.join();
        EXPECT_EQ(received, "hello") << (waiting ? "bytes that came while it waited" : "bytes queued before");
    }

    // Nothing arriving: the wake event ends the read with nothing.
    std::thread waker([&] {
        Sleep(100);
        SetEvent(wake.get());
    });
    got = 99;
    EXPECT_EQ(port_.readArrived(buf, sizeof buf, got, wake.get()), 0);
    waker.join();
    EXPECT_EQ(got, 0u);
    // The port still reads what comes next.
    ResetEvent(wake.get());
    ASSERT_TRUE(user.write("x"));
    ASSERT_EQ(port_.readArrived(buf, sizeof buf, got, wake.get()), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), got), "x");
    COMMTIMEOUTS t{};
    ASSERT_TRUE(GetCommTimeouts(port_.handle(), &t));
    EXPECT_EQ(t.ReadIntervalTimeout + t.ReadTotalTimeoutMultiplier + t.ReadTotalTimeoutConstant, 0u)
        << "arrived reads wait for their byte whatever the port had";

    // The next plain read puts the port's own read time-outs back.
    ASSERT_EQ(port_.read(buf, sizeof buf, got, 10), 0);
    ASSERT_TRUE(GetCommTimeouts(port_.handle(), &t));
    EXPECT_EQ(t.ReadIntervalTimeout, before.ReadIntervalTimeout);
    EXPECT_EQ(t.ReadTotalTimeoutMultiplier, before.ReadTotalTimeoutMultiplier);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, before.WriteTotalTimeoutConstant) << "writes keep their time-out";
    EXPECT_EQ(diagnostics(), "");
}

TEST_F(ComPortTest, WriteThatTimesOutReportsZeroWithFewerBytesAndALine)
{
    ASSERT_EQ(port_.open("\\\\.\\TARVCOM22", LineSettings{}), 0);
    ASSERT_TRUE(ptyRig("stall", "COM22"));
    ASSERT_TRUE(ptyRig("fill", "TARVCOM22"));
    uint32_t written = 77;
    SetLastError(0);
    EXPECT_EQ(port_.write(reinterpret_cast<const uint8_t*>("hello"), 5, written), 0);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(diagnostics(), "dataCount (5)<> len (0), rc: 0\n");
    ptyRig("resume", "COM22");
}

class ClSerialPortTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (port_.holdsReference())
            port_.close();
    }
    ClSerialPort port_;
};

TEST_F(ClSerialPortTest, ReadTimesOutAsSuccessWithWhatArrived)
{
    ASSERT_EQ(port_.open(kAnsweringCamera, CL_BAUDRATE_9600), 0);
    uint8_t buf[64];
    uint32_t count = sizeof buf;
    EXPECT_EQ(port_.read(buf, count, 10), 0);
    EXPECT_EQ(count, 0u);

    uint32_t written = 0;
    ASSERT_EQ(port_.write(reinterpret_cast<const uint8_t*>("PING\r"), 5, written), 0);
    EXPECT_EQ(written, 5u);
    // Ask for more than the answer: the time-out delivers the part that came.
    std::string answer;
    for (int i = 0; i < 50 && answer.size() < 6; ++i) {
        count = sizeof buf;
        ASSERT_EQ(port_.read(buf, count, 20), 0);
        answer.append(reinterpret_cast<char*>(buf), count);
    }
    EXPECT_EQ(answer, "PONG\r\n");
    EXPECT_EQ(port_.close(), 0);
}

TEST_F(ClSerialPortTest, ShortWriteGivesMinusFiveAndThePartWritten)
{
    ASSERT_EQ(port_.open(kShortWriteCamera, CL_BAUDRATE_9600), 0);
    uint32_t written = 0;
    EXPECT_EQ(port_.write(reinterpret_cast<const uint8_t*>("PING\r"), 5, written), ClSerialPort::kShortWrite);
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, 5u);
}

TEST_F(ClSerialPortTest, RefusedBaudRateLeavesThePortOpen)
{
    EXPECT_EQ(port_.open(kSlowLineCamera, CL_BAUDRATE_115200), CL_ERR_BAUD_RATE_NOT_SUPPORTED);
    EXPECT_TRUE(port_.holdsReference());
    // Open means in use: nobody else gets it until it is closed.
    void* ref = nullptr;
    EXPECT_EQ(clSerialInit(kSlowLineCamera, &ref), CL_ERR_PORT_IN_USE);
    port_.close();
    ASSERT_EQ(clSerialInit(kSlowLineCamera, &ref), 0);
    clSerialClose(ref);
}

TEST_F(ClSerialPortTest, FailedInitClearsTheReferenceAndReadErrorsPassThrough)
{
    EXPECT_LT(port_.open(99, CL_BAUDRATE_9600), 0);
    EXPECT_FALSE(port_.holdsReference());

    ASSERT_EQ(port_.open(kReadErrorCamera, CL_BAUDRATE_9600), 0);
    uint8_t buf[8];
    uint32_t count = 5;
    EXPECT_EQ(port_.read(buf, count, 0), -10006);
    EXPECT_EQ(count, 5u) << "the count is left as it was";
}

} // namespace
