#pragma once

#include <thrift/TBase.h>
#include <thrift/protocol/TBinaryProtocol.h>
#include <thrift/transport/TBufferTransports.h>

#include <QByteArray>

#include <map>
#include <set>
#include <string>
#include <vector>

// An upload request written field by field, so a test can leave fields out or add
// strangers, the way another caller (or a broken one) might put it on the wire.
class UploadRequestWire : public apache::thrift::TBase
{
public:
    std::string userId;
    std::string cloudPath;
    std::vector<std::string> srcFiles;
    bool createWhenNoExists = true;
    std::map<std::string, std::string> extraParam;
    std::set<int> omitted;     // field ids not written
    bool unknownField = false; // an id the struct does not know, before the others

    uint32_t read(apache::thrift::protocol::TProtocol *) override { return 0; }

    uint32_t write(apache::thrift::protocol::TProtocol *out) const override
    {
        using namespace apache::thrift::protocol;
        uint32_t n = out->writeStructBegin("UploadFilesToCloudArg");
        // Writes field `id` unless it is left out; each write is its own statement, in wire order.
        const auto field = [&](int16_t id, TType type, auto value) {
            if (!omitted.count(id)) {
                n += out->writeFieldBegin("", type, id);
                value();
                n += out->writeFieldEnd();
            }
        };
        const auto string = [&](int16_t id, const std::string &s) { field(id, T_STRING, [&] { n += out->writeString(s); }); };
        if (unknownField)
            field(99, T_I32, [&] { n += out->writeI32(7); });
        string(1, userId);
        string(2, cloudPath);
        field(3, T_LIST, [&] {
            n += out->writeListBegin(T_STRING, uint32_t(srcFiles.size()));
            for (const std::string &file : srcFiles)
                n += out->writeString(file);
            n += out->writeListEnd();
        });
        field(4, T_BOOL, [&] { n += out->writeBool(createWhenNoExists); });
        string(5, std::string());
        string(6, std::string());
        field(7, T_MAP, [&] {
            n += out->writeMapBegin(T_STRING, T_STRING, uint32_t(extraParam.size()));
            for (const auto &entry : extraParam) {
                n += out->writeString(entry.first);
                n += out->writeString(entry.second);
            }
            n += out->writeMapEnd();
        });
        n += out->writeFieldStop();
        return n + out->writeStructEnd();
    }

    QByteArray bytes() const
    {
        auto buffer = std::make_shared<apache::thrift::transport::TMemoryBuffer>();
        apache::thrift::protocol::TBinaryProtocol protocol(buffer);
        write(&protocol);
        return QByteArray::fromStdString(buffer->getBufferAsString());
    }
};
