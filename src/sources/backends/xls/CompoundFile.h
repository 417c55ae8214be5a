#pragma once

#include <QByteArray>

#include <optional>
#include <vector>

namespace quibo {

// A compound file (the container of an Excel 5 to 2003 workbook): its sectors, their allocation
// table and the directory, every offset checked against the file. It reads one stream: the workbook's.
// A directory whose root holds two streams of one name, or whose links come back to an entry (the root
// among them), is damaged: nothing of it is read.
class CompoundFile {
public:
    // What is wrong with a file that has the signature of a compound file and cannot be read: it is
    // cut short (it ends before a sector its allocation table holds), its directory is damaged, or
    // its header, allocation tables or sector chains are.
    enum class Fault { None, Cut, Directory, Sectors };

    // Keeps a reference to `file`, which must outlive it.
    explicit CompoundFile(const QByteArray& file);

    // Whether the file begins with a compound file's signature, and whether it is long enough for
    // the header that follows.
    bool hasSignature() const;
    bool isCompound() const;
    // Why the last read failed; None when the file read, or holds no workbook stream.
    Fault fault() const { return m_fault; }

    // Whether the root holds the streams of an encrypted package ("EncryptedPackage",
    // "EncryptionInfo"), as an .xlsx workbook saved with a password is kept. False when the file is
    // broken.
    bool encrypted();

    // The workbook's stream, a child of the root storage: "Workbook" (Excel 97 and later) or else
    // "Book" (Excel 5 and 95, and some writers of later versions); its BOF record tells the version. False
    // when there is none or the file is broken. A stream written in one run is handed out in place, not
    // copied.
    bool workbook(QByteArray& stream);

private:
    // The header, the allocation table and the root's streams, read once; false when any is broken.
    bool readDirectory();
    bool readHeader();
    // The bytes of sector `s`; a last sector cut short by the file's end is taken as it is.
    const uchar* sector(quint32 s, qsizetype& length) const;
    bool readFat();
    bool readMiniFat();
    // Follows a chain of sectors until `size` bytes are read or, for an unknown size, to its end.
    // A chain visits each sector once: one seen again is a cycle. `toCutEnd`: a chain that ends in
    // the file's last sector, cut short, before `size` gives what it holds (a writer that leaves the
    // last sector unpadded), for the caller to check what it takes of it.
    bool chain(const std::vector<quint32>& table, quint32 s, quint64 size, QByteArray& out,
               bool toCutEnd = false) const;
    // Whether the chain from `s` runs through consecutive sectors, all inside the file, for `size`
    // bytes and then ends (or goes on past them).
    bool contiguous(const std::vector<quint32>& table, quint32 s, quint64 size) const;
    // `cut`: the mini stream ends short of its size, at the file's end.
    bool miniChain(const QByteArray& mini, bool cut, quint32 s, quint64 size, QByteArray& out) const;
    // Records `fault` unless one is known already (a cut file is cut, whatever failed next); false.
    bool fail(Fault fault) const;
    // The sector `s` of a chain or table; when the allocation table holds it but the file ends
    // before it, the file is cut.
    const uchar* needed(quint32 s, qsizetype& length) const;

    const QByteArray& m_file;
    const uchar* m_data;
    qsizetype m_size;
    quint16 m_major = 3;
    quint32 m_sectorSize = 512;
    quint32 m_fatSectors = 0, m_dirStart = 0, m_cutoff = 4096, m_miniFatStart = 0, m_difatStart = 0,
            m_difatSectors = 0;
    std::vector<quint32> m_fat, m_miniFat;
    std::optional<bool> m_directoryRead;
    QByteArray m_directory;
    qsizetype m_workbookEntry = -1; // the offset of its entry in m_directory
    bool m_encrypted = false;
    mutable Fault m_fault = Fault::None;
};

} // namespace quibo
