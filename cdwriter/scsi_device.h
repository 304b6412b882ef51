// TSCSIDevice: one selected CD/DVD drive. It loads the transport, lists every
// CD/DVD device as a text entry, selects one, runs SCSI commands on it through
// ExecuteSRB (which waits, aborts what times out and turns failures into
// readable texts) and carries the lock the burn threads share. The MMC
// commands (mmc_commands.cpp, drive_capabilities.cpp, disc_state.cpp) are its
// methods too; the burner component derives from it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "cdwriter/srb.h"
#include "platform/rtl/components.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/sync_objects.h"

constexpr uint8_t kNoDevice = 254;             // HaId, Target and Lun when none is selected
constexpr uint8_t kDeselectedDeviceType = 127;
constexpr size_t kInquiryBytes = 128;
constexpr size_t kCapabilitiesPageBytes = 516;
constexpr size_t kWriteParametersPageBytes = 54;
constexpr size_t kTrackInfoBytes = 40;
constexpr size_t kAtipBytes = 26;
constexpr size_t kDiscInfoBytes = 56;

// Model quirks shared by every device of the process.
extern bool GlobalWaitReadyQuirk;
extern bool WriteQuirk;
// Disc type found by the last image layout (0 before any), and whether the
// writer runs a session-at-once write; both set by the burn code.
extern uint16_t CurrentDiscType;
extern bool SessionAtOnceMode;

// DeviceCapabilities bits.
enum : uint32_t {
  dcReadCDR = 0x1, dcReadCDRW = 0x2, dcReadMethod2 = 0x4, dcReadDVD = 0x8,
  dcReadDVDR = 0x10, dcReadDVDRW = 0x20, dcReadDVDRAM = 0x40, dcReadDVDPlusRW = 0x80,
  dcReadDVDPlusRDL = 0x100, dcReadDVDPlusR = 0x200,
  dcWriteCDR = 0x400, dcWriteCDRW = 0x800, dcWriteTest = 0x1000, dcWriteDVDR = 0x2000,
  dcWriteDVDRW = 0x4000, dcWriteDVDRAM = 0x8000, dcWriteDVDPlusRW = 0x10000,
  dcWriteDVDPlusRDL = 0x20000, dcWriteDVDPlusR = 0x40000, dcUnderrunProtection = 0x100000
};

class TSCSIDevice;
using TOnDebugMsg = std::function<void(TObject* sender, const AnsiString& message, uint8_t mType)>;
using TDeviceChangedEvent = std::function<void(TObject* sender)>;
using TEraseDoneEvent = std::function<void(TObject* sender, bool with_error)>;

class TSCSIDevice : public TComponent {
public:
  explicit TSCSIDevice(TComponent* owner);
  ~TSCSIDevice() override;

  // --- transport, device list and selection
  bool InitializeASPI(bool mode, const AnsiString& dll_name);
  bool ASPIInitialized() const;
  void HAInquiry(uint8_t adapter);
  void ScanDevices();
  void SelectDevice(const AnsiString& device_string);
  // Drive letters do not exist here: always #0, shown as "?:".
  char GetDriveLetter() const;
  // The device node of the selected drive (built-in transport), else "".
  AnsiString DevicePath() const;
  void SetCloseHandleAfterCommand(bool value);
  void Lock();
  // A thread that does not hold the lock changes nothing.
  void Unlock();
  uint8_t ExecuteSRB(SRB_ExecSCSICmd& srb, int timeout_ms);
  void DebugMessage(const AnsiString& message, uint8_t mType);

  uint8_t HaId() const { return ha_id_; }
  uint8_t Target() const { return target_; }
  uint8_t Lun() const { return lun_; }
  int8_t HostAdapterCount() const { return host_adapter_count_; }
  const AnsiString& LastErrorText() const { return last_error_text_; }
  const AnsiString& DeviceString() const { return device_string_; }
  uint8_t DeviceType() const { return device_type_; }
  const AnsiString& DeviceDescription() const { return device_description_; }
  const uint8_t* InquiryData() const { return inquiry_data_; }
  const uint8_t* LastSense() const { return last_sense_; }
  bool TargetBusy() const { return target_busy_; }
  TStringList* DeviceList() const { return device_list_.get(); }
  bool DoDebug() const { return do_debug_; }
  void SetDoDebug(bool value) { do_debug_ = value; }
  bool WaitReadyQuirk() const { return wait_ready_quirk_; }
  bool UnderrunFreeQuirk() const { return underrun_free_quirk_; }
  bool LinkSizeQuirk() const { return link_size_quirk_; }
  bool UnderrunProtection() const { return underrun_protection_; }
  void SetUnderrunProtection(bool value) { underrun_protection_ = value; }
  bool TestWrite() const { return test_write_; }
  void SetTestWrite(bool value) { test_write_ = value; }
  bool FinalizeDisc() const { return finalize_disc_; }
  void SetFinalizeDisc(bool value) { finalize_disc_ = value; }
  bool Erasing() const { return false; }

  TOnDebugMsg OnDebugMessage;
  TDeviceChangedEvent OnDeviceChange;
  TEraseDoneEvent OnEraseDone;

  // --- MMC commands (mmc_commands.cpp); True exactly when the drive succeeded
  bool TestUnitReady(int timeout_ms);
  void RewindUnit();
  bool RequestSense(uint8_t* data, uint8_t length);
  bool FormatUnit(uint8_t flags, uint8_t* data, uint32_t length);
  bool Inquiry();
  bool LoadEject(bool eject);
  bool PreventAllowRemoval(bool allow);
  bool ReadSectors(int32_t lba, uint16_t blocks, uint32_t length, uint8_t* data);
  bool WriteSectors(int32_t lba, uint16_t blocks, uint8_t flags, uint32_t length, uint8_t* data);
  bool SynchronizeCache(int timeout_ms, bool immediate);
  // A length above 255 raises ERangeError.
  bool ReadTOC(uint8_t format, uint8_t* data, uint8_t control, bool msf, uint8_t track_session, int length);
  bool GetConfiguration(uint8_t rt, uint16_t starting_feature, uint16_t length, uint8_t* data);
  bool ReadDiscInformation(uint8_t* data, uint16_t length);
  bool ReadTrackInformation(uint32_t track);
  bool ReserveTrack(uint32_t size);
  bool SendOPCInformation();
  bool ModeSelect10(const uint8_t* data, uint16_t length);
  bool ModeSense10(uint8_t page, uint8_t* data, bool default_values, uint16_t length, uint16_t clear_length);
  bool CloseTrackSession(bool close_track, bool immediate, bool finalize);
  bool CloseTrackSessionRaw(bool immediate, uint8_t function, uint8_t byte3, uint8_t byte4, uint8_t byte5);
  bool ReadBufferCapacity(uint32_t& buffer_size, uint32_t& free_size);
  bool SendCueSheet(const uint8_t* data, uint32_t length);
  bool SetStreaming(const uint8_t* data, uint16_t length);
  bool SetCDSpeed(uint16_t read_speed, uint16_t write_speed);
  bool SendDVDStructure(uint8_t format, const uint8_t* data, uint16_t length);
  bool SendTimeStamp(TDateTime when);
  bool SetStreamingPerformance(uint32_t end_lba, uint32_t read_size, uint32_t write_size,
                               uint32_t read_time, uint32_t write_time);

  // --- capabilities and write parameters (drive_capabilities.cpp)
  bool ReadCapabilities();
  bool HasVendorPage30();
  bool SetWriteParameters(bool test_write, bool underrun_free, uint16_t disc_type, bool close_disc);
  bool TestWriteMode(uint8_t mode);
  void ProbeWriteModes();
  uint16_t GetMaxReadSpeed();
  uint16_t GetCurrentWriteSpeed();

  // --- disc state (disc_state.cpp)
  bool ReadDiscInfo();
  uint8_t GetSessionCount();
  uint16_t GetDiscType();
  bool WaitUntilReady(int total_ms, int step_ms);

  uint32_t DeviceCapabilities() const { return device_capabilities_; }
  uint16_t DeviceMaxWriteSpeed() const { return device_max_write_speed_; }
  uint16_t DeviceMaxReadSpeed() const { return device_max_read_speed_; }
  uint32_t DeviceBufferSize() const { return device_buffer_size_; }
  uint32_t DeviceFreeBufferSize() const { return device_free_buffer_size_; }
  uint8_t SupportedWriteModes() const { return supported_write_modes_; }
  uint16_t ReadSpeed() const { return read_speed_; }
  void SetReadSpeed(uint16_t value) { read_speed_ = value; }
  uint16_t WriteSpeed() const { return write_speed_; }
  void SetWriteSpeed(uint16_t value);
  // Page 2Ah as last read, its 16-bit fields at 8, 12, 14, 18 and 20 in native order.
  const uint8_t* CapabilitiesPage() const { return capabilities_page_; }
  const uint8_t* WriteParametersPage() const { return write_parameters_page_; }
  // Track information, its length and six 32-bit fields in native order.
  const uint8_t* TrackInfo() const { return track_info_; }
  const uint8_t* Atip() const { return atip_; }
  // Disc information, its length field in native order.
  const uint8_t* DiscInfo() const { return disc_info_; }

protected:
  // The writer shows its closing progress through the free buffer size.
  void SetBufferSizes(uint32_t size, uint32_t free_size) {
    device_buffer_size_ = size;
    device_free_buffer_size_ = free_size;
  }

private:
  struct Cdb;
  bool Run(const Cdb& cdb, uint8_t flags, uint8_t* data, uint32_t length, int timeout_ms);
  void Deselect();
  void ReadDeviceInfo();
  void SetQuirks();
  void AddDeviceEntry();
  void AbortSRB(SRB_ExecSCSICmd& srb);
  bool ModeSensePage(uint8_t page, bool default_values, uint16_t length, uint8_t* answer, size_t& offset,
                     size_t& arrived);
  bool ReadWriteParametersPage(size_t& offset, bool only_16_or_8);
  bool SendWriteParametersPage(size_t offset);
  void ReadFeature(uint16_t feature, uint32_t present_bits, uint32_t writable_bits);
  bool AnswerInvalid();
  uint8_t SenseAsc(const uint8_t* sense_buffer) const;

  uint8_t ha_id_ = kNoDevice;
  uint8_t target_ = kNoDevice;
  uint8_t lun_ = kNoDevice;
  int8_t host_adapter_count_ = 0;
  uint8_t capabilities_page_[kCapabilitiesPageBytes] = {};
  uint8_t write_parameters_page_[kWriteParametersPageBytes] = {};
  bool underrun_protection_ = false;
  bool test_write_ = false;
  AnsiString last_error_text_;
  AnsiString device_string_;
  uint8_t device_type_ = kDeselectedDeviceType;
  AnsiString device_description_;
  uint8_t inquiry_data_[kInquiryBytes] = {};
  bool do_debug_ = false;
  uint32_t device_capabilities_ = 0;
  std::unique_ptr<TStringList> device_list_;
  bool target_busy_ = false;
  SRB_HAInquiry ha_inquiry_srb_;
  SRB_Abort abort_srb_;
  uint8_t track_info_[kTrackInfoBytes] = {};
  uint8_t atip_[kAtipBytes] = {};
  uint8_t disc_info_[kDiscInfoBytes] = {};
  uint16_t device_max_write_speed_ = 0;
  uint16_t device_max_read_speed_ = 0;
  uint32_t device_buffer_size_ = 0;
  uint32_t device_free_buffer_size_ = 0;
  bool finalize_disc_ = false;
  uint8_t last_sense_[kSenseAreaBytes] = {};
  uint8_t supported_write_modes_ = 0;
  uint16_t read_speed_ = 0;
  uint16_t write_speed_ = 0;
  TCriticalSection lock_;
  bool wait_ready_quirk_ = false;
  bool underrun_free_quirk_ = false;
  bool link_size_quirk_ = false;
};
