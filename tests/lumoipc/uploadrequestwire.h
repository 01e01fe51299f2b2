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
    std::set<int> omitted;   // field ids not written
    bool unknownField = false; // an id the struct does not know, before the others

    uint32_t read(apache::thrift::protocol::TProtocol *) override { return 0; }

    uint32_t write(apache::thrift::protocol::TProtocol *out) const override
    {
        using namespace apache::thrift::protocol;
        uint32_t n = out->writeStructBegin("UploadFilesToCloudArg");
        if (unknownField) {
            n += out->writeFieldBegin("stranger", T_I32, 99);
            n += out->writeI32(7) + out->writeFieldEnd();
        }
        n += writeString(out, 1, userId) + writeString(out, 2, cloudPath);
        if (!omitted.count(3)) {
            n += out->writeFieldBegin("srcFiles", T_LIST, 3);
            n += out->writeListBegin(T_STRING, static_cast<uint32_t>(srcFiles.size()));
            for (const std::string &file : srcFiles)
                n += out->writeString(file);
            n += out->writeListEnd() + out->writeFieldEnd();
        }
        if (!omitted.count(4))
            n += out->writeFieldBegin("createWhenNoExists", T_BOOL, 4) + out->writeBool(createWhenNoExists) + out->writeFieldEnd();
        n += writeString(out, 5, std::string()) + writeString(out, 6, std::string());
        if (!omitted.count(7)) {
            n += out->writeFieldBegin("extraParam", T_MAP, 7);
            n += out->writeMapBegin(T_STRING, T_STRING, static_cast<uint32_t>(extraParam.size()));
            for (const auto &entry : extraParam)
                n += out->writeString(entry.first) + out->writeString(entry.second);
            n += out->writeMapEnd() + out->writeFieldEnd();
        }
        return n + out->writeFieldStop() + out->writeStructEnd();
    }

    QByteArray bytes() const
    {
        auto buffer = std::make_shared<apache::thrift::transport::TMemoryBuffer>();
        apache::thrift::protocol::TBinaryProtocol protocol(buffer);
        write(&protocol);
        const std::string written = buffer->getBufferAsString();
        return QByteArray(written.data(), static_cast<int>(written.size()));
    }

private:
    uint32_t writeString(apache::thrift::protocol::TProtocol *out, int16_t id, const std::string &value) const
    {
        if (omitted.count(id))
            return 0;
        return out->writeFieldBegin("", apache::thrift::protocol::T_STRING, id) + out->writeString(value) + out->writeFieldEnd();
    }
};
