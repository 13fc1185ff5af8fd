package kanne.test;

import java.io.PrintStream;
import java.lang.management.ManagementFactory;
import java.nio.charset.StandardCharsets;

/** Writes what the launcher handed over to report.txt, as escaped UTF-8 lines. */
public class Report {
    static String escape(String s) {
        StringBuilder b = new StringBuilder();
        for (char c : s.toCharArray()) {
            if (c == '\\') b.append("\\\\");
            else if (c < 0x20) b.append(String.format("\\x%02X", (int) c));
            else b.append(c);
        }
        return b.toString();
    }

    public static void main(String[] args) throws Exception {
        try (PrintStream out = new PrintStream("report.txt", StandardCharsets.UTF_8)) {
            out.println("argc=" + args.length);
            for (String a : args) out.println("arg=" + escape(a));
            for (String option : ManagementFactory.getRuntimeMXBean().getInputArguments())
                out.println("option=" + escape(option));
            out.println("library.path=" + escape(System.getProperty("java.library.path", "")));
            out.println("title=" + escape(System.getProperty("test.title", "")));
        }
        System.out.println("to standard output");
        System.err.println("to standard error");
    }
}
