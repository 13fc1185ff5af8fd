package kanne.test;

import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardOpenOption;

/** Keeps running until stop.txt appears; appends each forwarded start to secondary.txt. */
public class Instance {
    public static void main(String[] args) throws Exception {
        Files.writeString(Path.of("main-started.txt"), String.join("|", args), StandardCharsets.UTF_8);
        long end = System.currentTimeMillis() + 120_000;
        while (!Files.exists(Path.of("stop.txt")) && System.currentTimeMillis() < end)
            Thread.sleep(20);
    }

    public static synchronized void secondaryMain(String[] args) throws Exception {
        StringBuilder line = new StringBuilder().append(args.length).append(':');
        for (String a : args) line.append('[').append(Report.escape(a)).append(']');
        Files.writeString(Path.of("secondary.txt"), line.append('\n').toString(), StandardCharsets.UTF_8,
                StandardOpenOption.CREATE, StandardOpenOption.APPEND);
    }
}
