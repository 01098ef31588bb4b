#!/usr/bin/env python3
"""Loopback HTTP(S) servers for the web helper's tests.

Listens on an ephemeral port of 127.0.0.1, writes the port to FOLDER/port,
stores every request exactly as received in FOLDER/request-N.bin and answers
as the chosen MODE:

  once        one answer, then the connection is closed
  keepalive   an answer with its Content-Length; the connection stays open
  chunked     a chunked HTTP/1.1 answer; the connection stays open
  earlyclose  half a header block, then the connection is closed
  silent      reads the request and never answers
  oldncbi     the old NCBI pages: a "please wait" page with the RID, WAITS
              more of them for the polls, then the finished page (PAGE)
  urlapi      today's NCBI URL API: QBlastInfo with RID and RTOE for the Put,
              Status=WAITING for WAITS SearchInfo requests, then FINAL
              (READY, FAILED or UNKNOWN), then the text report (PAGE);
              BROKEN: READY, then an error 500 instead of the report
"""
import argparse
import os
import socket
import ssl
import threading
import time

parser = argparse.ArgumentParser()
parser.add_argument("mode")
parser.add_argument("folder")
parser.add_argument("--page", default="")
parser.add_argument("--waits", type=int, default=1)
parser.add_argument("--final", default="READY")
parser.add_argument("--cert", default="")
parser.add_argument("--key", default="")
args = parser.parse_args()

page = open(args.page, "rb").read() if args.page else b"<HTML>the answer</HTML>\n"
lock = threading.Lock()
state = {"requests": 0, "polls": 0}
HOLD = 30  # seconds a kept-alive connection stays open


def read_request(conn):
    data = b""
    while True:
        for end in (b"\r\n\r\n", b"\n\n"):
            at = data.find(end)
            if at >= 0:
                head = data[:at]
                length = 0
                for line in head.split(b"\n"):
                    if line.lower().startswith(b"content-length:"):
                        length = int(line.split(b":", 1)[1])
                while len(data) - (at + len(end)) < length:
                    more = conn.recv(65536)
                    if not more:
                        break
                    data += more
                return data, data[at + len(end):]
        more = conn.recv(65536)
        if not more:
            return data, b""
        data += more


def store(raw):
    with lock:
        state["requests"] += 1
        number = state["requests"]
    with open(os.path.join(args.folder, "request-%d.bin" % number), "wb") as f:
        f.write(raw)
    return number


def answer(code, body, extra=b""):
    return (b"HTTP/1.0 %d OK\r\nContent-Type: text/html\r\n" % code) + extra + b"\r\n" + body


PLEASE_WAIT = (b'<HTML><HEAD><META HTTP-EQUIV="Refresh" CONTENT="4"></HEAD><BODY>\n'
               b'<FORM><INPUT TYPE="hidden" NAME="RID" VALUE="abc-9">\n'
               b'This page will be automatically updated in 4 seconds</FORM></BODY></HTML>\n')


def qblast(lines):
    return b"<p><!--\nQBlastInfoBegin\n" + b"".join(b"\t" + l + b"\n" for l in lines) + b"QBlastInfoEnd\n--><p>\n"


def hold_then_babble(conn):
    """Keeps the connection open; bytes sent after the answer show whether
    the client went on reading past its end."""
    time.sleep(3)
    conn.sendall(b"BABBLE")
    time.sleep(HOLD)


def respond(conn, body):
    mode = args.mode
    if mode == "silent":
        time.sleep(HOLD)
        return
    if mode == "earlyclose":
        conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Le")
        return
    if mode == "keepalive":
        conn.sendall(answer(200, page, b"Content-Length: %d\r\nConnection: keep-alive\r\n" % len(page)))
        hold_then_babble(conn)
        return
    if mode == "chunked":
        conn.sendall(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")
        for i in range(0, len(page), 700):
            piece = page[i:i + 700]
            conn.sendall(b"%x\r\n" % len(piece) + piece + b"\r\n")
        conn.sendall(b"0\r\n\r\n")
        hold_then_babble(conn)
        return
    if mode == "oldncbi":
        if not body.startswith(b"RID="):
            conn.sendall(answer(200, PLEASE_WAIT))
            return
        with lock:
            state["polls"] += 1
            polls = state["polls"]
        conn.sendall(answer(200, PLEASE_WAIT if polls <= args.waits else page))
        return
    if mode == "urlapi":
        if b"CMD=Put" in body:
            text = qblast([b"RID = R42XYZ", b"RTOE = 1"])
        elif b"FORMAT_OBJECT=SearchInfo" in body:
            with lock:
                state["polls"] += 1
                polls = state["polls"]
            final = b"READY" if args.final == "BROKEN" else args.final.encode()
            status = b"WAITING" if polls <= args.waits else final
            text = qblast([b"Status=" + status] + ([b"ThereAreHits=yes"] if status == b"READY" else []))
        else:
            text = qblast([b"Status=READY"]) + b"<PRE>\n" + page + b"</PRE>\n"
        code = 500 if args.final == "BROKEN" and b"FORMAT_TYPE=Text" in body else 200
        conn.sendall(answer(code, text, b"Content-Length: %d\r\nConnection: keep-alive\r\n" % len(text)))
        time.sleep(HOLD)
        return
    conn.sendall(answer(200, page))


def serve(conn):
    try:
        raw, body = read_request(conn)
        store(raw)
        respond(conn, body)
    except (OSError, ssl.SSLError):
        pass
    finally:
        try:
            conn.close()
        except OSError:
            pass


def main():
    # A server whose test died without stopping it ends by itself.
    threading.Timer(150, os._exit, [0]).start()
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    context = None
    if args.cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.cert, args.key)
    port_file = os.path.join(args.folder, "port")
    with open(port_file + ".tmp", "w") as f:
        f.write(str(listener.getsockname()[1]))
    os.rename(port_file + ".tmp", port_file)
    while True:
        conn, _ = listener.accept()
        if context is not None:
            try:
                conn.settimeout(10)
                conn = context.wrap_socket(conn, server_side=True)
                conn.settimeout(None)
            except (OSError, ssl.SSLError):
                conn.close()
                continue
        threading.Thread(target=serve, args=(conn,), daemon=True).start()


main()
