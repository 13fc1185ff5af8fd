package kanne.test;

/** A class without a static main method. */
public class NoMain {
    public void main(String[] args) {}
}
