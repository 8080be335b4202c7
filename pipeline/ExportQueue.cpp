#include "pipeline/ExportQueue.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <type_traits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "media/FormatRules.h"
#include "pipeline/ExportReport.h"

namespace {

const char* const fileHeader = "tellavox queue 1";
const char* const stateNames[] = {"waiting", "running", "checked", "warnings", "failed", "cancelled", "interrupted"};

bool Exists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

// Every value of the record under a name of its own, so that the file
// still reads when values are added.
template <class Visit>
void EachParam(tCodecParams& p, Visit visit)
{
    visit("abitrate", p.iAudioBitrate);
    visit("channels", p.iAudioChannels);
    visit("arate", p.iAudioSampleRate);
    visit("vbitrate", p.iVideoBitrate);
    visit("gop", p.iGopSize);
    visit("fps", p.iFps);
    visit("width", p.iWidth);
    visit("height", p.iHeight);
    visit("audio", p.bAudioEnabled);
    visit("codec", p.eCodec);
    visit("fpsnum", p.iSourceFpsNum);
    visit("fpsden", p.iSourceFpsDen);
    visit("interlaced", p.bKeepInterlaced);
    visit("track", p.iAudioTrack);
    visit("rate", p.eVideoRate);
    visit("quality", p.iQuality);
    visit("targetkb", p.iTargetKB);
    visit("speed", p.iSpeed);
    visit("sound", p.eSoundCodec);
    visit("copyvideo", p.bCopyVideo);
    visit("hdr", p.bKeepHdr);
}

template <class Visit>
void EachOrderNumber(tExportOrder& o, Visit visit)
{
    visit("x", o.crop.x);
    visit("y", o.crop.y);
    visit("w", o.crop.width);
    visit("h", o.crop.height);
    visit("start", o.start);
    visit("end", o.end);
    EachParam(o.params, visit);
}

// Tabs and line ends would break the line a value sits in.
std::string Escape(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '\t': escaped += "\\t"; break;
        case '\n': escaped += "\\n"; break;
        case '\r': escaped += "\\r"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string Unescape(const std::string& text)
{
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        char c = text[++i];
        plain += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return plain;
}

std::string ItemLine(tQueueItem item)
{
    std::ostringstream line;
    line.precision(17);
    line << "state=" << stateNames[item.state] << "\tinput=" << Escape(item.order.input)
         << "\toutput=" << Escape(item.order.output) << "\tdetail=" << Escape(item.detail)
         << "\treplace=" << item.replaceAgreed;
    EachOrderNumber(item.order, [&line](const char* key, auto& value) {
        using Value = std::decay_t<decltype(value)>;
        if constexpr (std::is_floating_point_v<Value>)
            line << '\t' << key << '=' << value;
        else
            line << '\t' << key << '=' << static_cast<long long>(value);
    });
    return line.str();
}

std::map<std::string, std::string> Fields(const std::string& line)
{
    std::map<std::string, std::string> fields;
    std::istringstream parts(line);
    std::string part;
    while (std::getline(parts, part, '\t')) {
        size_t equals = part.find('=');
        if (equals == std::string::npos)
            throw "A queue line has a value without a name.";
        fields[part.substr(0, equals)] = Unescape(part.substr(equals + 1));
    }
    return fields;
}

double Number(const std::string& text)
{
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value > -1e12 && value < 1e12))
        throw "A queue line has a value that is not a number.";
    return value;
}

tQueueItem ReadItem(const std::string& line)
{
    std::map<std::string, std::string> fields = Fields(line);
    tQueueItem item;
    auto state = std::find(std::begin(stateNames), std::end(stateNames), fields["state"]);
    if (state == std::end(stateNames) || fields["input"].empty() || fields["output"].empty())
        throw "A queue line misses its state or its files.";
    item.state = tQueueItem::State(state - std::begin(stateNames));
    if (item.state == tQueueItem::RUNNING)
        item.state = tQueueItem::INTERRUPTED;  // it was running when the program ended
    item.order.input = fields["input"];
    item.order.output = fields["output"];
    item.detail = fields["detail"];
    item.replaceAgreed = fields["replace"] == "1";
    EachOrderNumber(item.order, [&fields](const char* key, auto& value) {
        auto found = fields.find(key);
        if (found != fields.end())
            value = static_cast<std::decay_t<decltype(value)>>(Number(found->second));
    });
    item.order.params = NormaliseForFormat(item.order.params);
    return item;
}

void MakeFolders(const std::string& file)
{
    for (size_t slash = file.find('/', 1); slash != std::string::npos; slash = file.find('/', slash + 1))
        mkdir(file.substr(0, slash).c_str(), 0700);
}

// Written beside the file, then renamed over it: a crash leaves the old
// queue or the new one, never a part of either.
bool WriteWhole(const std::string& file, const std::string& text)
{
    MakeFolders(file);
    std::string temporary = file + ".new";
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool written = write(fd, text.data(), text.size()) == ssize_t(text.size()) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (written && rename(temporary.c_str(), file.c_str()) == 0)
        return true;
    unlink(temporary.c_str());
    return false;
}

}  // namespace

ExportQueue::ExportQueue(std::string file) : m_File(std::move(file)) {}

ExportQueue::~ExportQueue()
{
    Interrupt();
}

// An export that ended meanwhile is taken as it ended.
void ExportQueue::Interrupt()
{
    m_Going = false;
    if (!m_Job)
        return;
    ExportJob::Snapshot now = m_Job->GetSnapshot();
    if (now.state != ExportJob::RUNNING) {
        EndRunning(now);
        return;
    }
    m_Job.reset();
    if (tQueueItem* item = FindItem(m_RunningId))
        item->state = tQueueItem::INTERRUPTED;
    m_RunningId = 0;
    Save();
}

std::string ExportQueue::DefaultFile()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return std::string(state) + "/tellavox/queue";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.local/state/tellavox/queue";
}

std::string ExportQueue::NextFreeName(const std::string& path, const std::function<bool(const std::string&)>& taken)
{
    if (!taken(path))
        return path;
    size_t nameStart = path.rfind('/') + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart)
        dot = path.size();
    std::string stem = path.substr(0, dot), extension = path.substr(dot);
    size_t open = stem.rfind(" (");
    if (open != std::string::npos && open >= nameStart && stem.back() == ')' &&
        stem.find_first_not_of("0123456789", open + 2) == stem.size() - 1 && stem.size() - open > 3)
        stem.erase(open);
    for (int n = 1;; ++n) {
        std::string candidate = stem + " (" + std::to_string(n) + ")" + extension;
        if (!taken(candidate))
            return candidate;
    }
}

const char* ExportQueue::StateName(tQueueItem::State state)
{
    return stateNames[state];
}

bool ExportQueue::Load()
{
    std::ifstream in(m_File);
    std::string line;
    if (!in || !std::getline(in, line))
        return true;
    const bool known = line == fileHeader;
    bool whole = known;
    while (known && std::getline(in, line)) {
        try {
            tQueueItem item = ReadItem(line);
            item.id = m_NextId++;
            m_Items.push_back(std::move(item));
        } catch (const char*) {
            whole = false;
        }
    }
    if (!whole) {
        std::ifstream original(m_File, std::ios::binary);
        std::ostringstream bytes;
        bytes << original.rdbuf();
        WriteWhole(m_File + ".damaged", bytes.str());
    }
    return whole;
}

int ExportQueue::Add(tExportOrder order, bool replaceAgreed)
{
    tQueueItem item;
    item.id = m_NextId++;
    item.replaceAgreed = replaceAgreed;
    item.order = std::move(order);
    if (Taken(item.order.output, item.id) || (!replaceAgreed && Exists(item.order.output)))
        item.order.output = FreeOutput(item);
    m_Items.push_back(std::move(item));
    Save();
    return m_Items.back().id;
}

void ExportQueue::Remove(int id)
{
    if (id == m_RunningId && m_Job) {
        m_Job.reset();
        m_RunningId = 0;
    }
    auto removed = [id](const tQueueItem& item) { return item.id == id; };
    m_Items.erase(std::remove_if(m_Items.begin(), m_Items.end(), removed), m_Items.end());
    Save();
}

void ExportQueue::Cancel(int id)
{
    tQueueItem* item = FindItem(id);
    if (!item)
        return;
    if (item->state == tQueueItem::RUNNING) {
        m_Job->Cancel();
        return;
    }
    if (item->state == tQueueItem::WAITING || item->state == tQueueItem::INTERRUPTED) {
        item->state = tQueueItem::CANCELLED;
        item->detail.clear();
        Save();
    }
}

void ExportQueue::Restart(int id)
{
    tQueueItem* item = FindItem(id);
    const tQueueItem::State restartable[] = {tQueueItem::FAILED, tQueueItem::CANCELLED, tQueueItem::INTERRUPTED};
    if (!item || std::find(std::begin(restartable), std::end(restartable), item->state) == std::end(restartable))
        return;
    item->state = tQueueItem::WAITING;
    item->detail.clear();
    item->progress = 0;
    Save();
}

void ExportQueue::Move(int id, int step)
{
    auto at = std::find_if(m_Items.begin(), m_Items.end(), [id](const tQueueItem& item) { return item.id == id; });
    if (at == m_Items.end())
        return;
    long to = (at - m_Items.begin()) + step;
    if (to < 0 || to >= long(m_Items.size()))
        return;
    std::iter_swap(at, m_Items.begin() + to);
    Save();
}

void ExportQueue::SetGoing(bool going)
{
    m_Going = going;
    Poll();
}

void ExportQueue::Poll()
{
    if (m_Job) {
        ExportJob::Snapshot now = m_Job->GetSnapshot();
        if (tQueueItem* item = FindItem(m_RunningId))
            item->progress = now.progress;
        if (now.state == ExportJob::RUNNING)
            return;
        EndRunning(now);
    }
    if (m_Going)
        StartNext();
}

void ExportQueue::WaitForCurrent()
{
    if (m_Job)
        m_Job->Wait();
}

const tQueueItem* ExportQueue::Find(int id) const
{
    for (const tQueueItem& item : m_Items)
        if (item.id == id)
            return &item;
    return nullptr;
}

tQueueItem* ExportQueue::FindItem(int id)
{
    return const_cast<tQueueItem*>(Find(id));
}

std::string ExportQueue::FreeOutput(const tQueueItem& item) const
{
    return NextFreeName(item.order.output,
                        [this, &item](const std::string& path) { return Taken(path, item.id) || Exists(path); });
}

bool ExportQueue::Taken(const std::string& path, int exceptId) const
{
    return std::any_of(m_Items.begin(), m_Items.end(),
                       [&](const tQueueItem& item) { return item.id != exceptId && item.order.output == path; });
}

// A file that took the output's name since the item was queued is kept:
// the item takes the next free name instead.
void ExportQueue::StartNext()
{
    auto next = std::find_if(m_Items.begin(), m_Items.end(),
                             [](const tQueueItem& item) { return item.state == tQueueItem::WAITING; });
    if (next == m_Items.end()) {
        m_Going = false;
        return;
    }
    tQueueItem& item = *next;
    if (!item.replaceAgreed && Exists(item.order.output))
        item.order.output = FreeOutput(item);
    item.state = tQueueItem::RUNNING;
    item.progress = 0;
    m_RunningId = item.id;
    m_Job = std::make_unique<ExportJob>(item.order);
    Save();
}

void ExportQueue::EndRunning(const ExportJob::Snapshot& end)
{
    m_Job->Wait();
    m_Job.reset();
    tQueueItem* item = FindItem(m_RunningId);
    m_RunningId = 0;
    if (!item)
        return;
    switch (end.state) {
    case ExportJob::FINISHED: item->state = end.check.Passed() ? tQueueItem::CHECKED : tQueueItem::WARNINGS; break;
    case ExportJob::FAILED: item->state = tQueueItem::FAILED; break;
    default: item->state = tQueueItem::CANCELLED;
    }
    if (end.state == ExportJob::FAILED)
        item->detail = end.reason;
    else
        item->detail = end.check.bOpened ? ExportReportText(end.check) : "Nothing was written.";
    Save();
}

void ExportQueue::Save()
{
    if (m_File.empty())
        return;
    std::string text = std::string(fileHeader) + "\n";
    for (const tQueueItem& item : m_Items)
        text += ItemLine(item) + "\n";
    m_Saved = WriteWhole(m_File, text);
}
